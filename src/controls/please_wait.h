#pragma once
// The modeless "Please wait" box shown while replay data loads: a status
// line and a gradient progress bar (blue to yellow on grey, with the
// percentage), hidden until ShowProgress. Enter and Esc do not close it;
// its owner hides or deletes it when the work is done.

#include <QDialog>

class CGradientProgressCtrl;
class QLabel;

class PleaseWait : public QDialog {
    Q_OBJECT
public:
    explicit PleaseWait(QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const;
    void SetRange(int lower, int upper);
    void SetPos(int position);
    // Shows and hides the progress bar.
    void ShowProgress();
    void HideProgress();
    CGradientProgressCtrl* bar() const { return bar_; }

public slots:
    void accept() override {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* text_;
    CGradientProgressCtrl* bar_;
};
