#pragma once
// "QELRank Login": the ranking service's user name and password, and
// whether to keep them. Opens with the kept login, if any (RankingLogin).
// OK keeps the login only when the box is ticked and otherwise forgets one
// kept earlier (a login that cannot be kept or forgotten is reported, and
// the upload goes on with it); the caller then reads the two texts.

#include <QDialog>
#include <string>

class Interaction;
class QCheckBox;
class QLineEdit;

class qelranklogin : public QDialog {
    Q_OBJECT
public:
    explicit qelranklogin(Interaction& ui, QWidget* parent = nullptr);
    ~qelranklogin() override;

    void accept() override;

    // Valid after OK, as the user typed them (Windows-1252 bytes).
    const std::string& UserName() const { return user_; }
    const std::string& Password() const { return password_; }

    QLineEdit* UserEdit() const { return user_edit_; }
    QLineEdit* PasswordEdit() const { return password_edit_; }
    QCheckBox* RememberBox() const { return remember_; }

private:
    Interaction& ui_;
    std::string user_;
    std::string password_;
    QLineEdit* user_edit_ = nullptr;
    QLineEdit* password_edit_ = nullptr;
    QCheckBox* remember_ = nullptr;
};
