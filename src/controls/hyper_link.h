#pragma once
// A clickable web link in a dialog: its text in the link colour (underlined
// by default), the visited colour once opened, the focus colour while it
// holds the focus after a click, optionally the hover colour under the
// mouse. A link without text shows its target; a link without a target
// opens its text. It opens its target only through the interaction seam
// (Interaction::OpenWithProgram); no command is ever built from the target.

#include <QColor>
#include <QLabel>

class Interaction;

class CHyperLink : public QLabel {
    Q_OBJECT
public:
    // Option bits.
    enum : unsigned {
        kUnderline = 0x01,      // the text is underlined
        kUseHover = 0x02,       // the hover colour while the mouse is over the link
        kAutoSize = 0x04,       // the control fits its text
        kDownClick = 0x08,      // opens on button-down (else on button-up)
        kGetFocusOnClick = 0x10,
        kNoHandCursor = 0x20,
        kNoActiveColour = 0x40, // the focus colour is never used
        kDefaultOptions = kUnderline | kAutoSize | kGetFocusOnClick,
    };
    static const QColor kLinkColour;     // (0, 0, 255)
    static const QColor kVisitedColour;  // (128, 0, 128)
    static const QColor kFocusColour;    // (0, 128, 128)
    static const QColor kHoverColour;    // (255, 0, 0)

    // The link opens its target through the seam, which must outlive it.
    explicit CHyperLink(Interaction& ui, const QString& text = {}, QWidget* parent = nullptr);

    // Stores the target; the tooltip shows it, and a link without text
    // shows it as its text.
    void SetURL(const QString& target);
    QString GetURL() const { return target_; }
    void SetOptions(unsigned options);
    unsigned options() const { return options_; }
    bool visited() const { return visited_; }
    // The colour the text is drawn in now.
    QColor TextColour() const;

    // Opens the target (the text when there is none). Success marks the link
    // visited; failure beeps and shows "Can't open link:" with the reason.
    void Open();
    // "Can't open link:" reason for a failure code of the system's opener.
    static QString ErrorText(int code);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Refresh();

    bool focus_ = false;
    bool hover_ = false;
    bool visited_ = false;
    unsigned options_ = kDefaultOptions;
    QString target_;
    Interaction& seam_;
};
