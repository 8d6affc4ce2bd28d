#pragma once
// The GIF wizard window ("Zelqo GIF Wizard"): a decorative panel
// with the caption "GIF Wizard" on the left, one page at a time on the right
// (background and frames, text, effect, the chosen effect's options) and
// Back, Next and Cancel. Finishing checks the choices, asks about the open
// project, and opens the new GIF as the project with the builder of
// src/wizard as the fill (wizard/Wizard.h says what it composes).
//
// The window exists only while it is shown (GIFWizard1Click makes it,
// shows it modally and drops it), so every field starts from its default.
#include <memory>

#include <QDialog>
#include <QFont>

#include "app/Prompts.h"
#include "wizard/Wizard.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QStackedWidget;

namespace animora {

class Project;
class TLabelEffect;

// The font dialog of page 2 ("Select font"); nothing on Cancel.
struct WizardFontQuestion {
    using Answer = QFont;
    QFont current;
};
std::optional<QFont> ShowDialog(const WizardFontQuestion& question, DialogHost& host);

// The folder of pictures that ships beside the program, where the
// open-picture dialog starts, and the background the wizard starts with
// (empty when that picture is not there).
QString WizardImageFolder();
QString DefaultWizardBackground();
// The open-picture dialog's filter.
extern const char* const kWizardPictureFilter;

// The double-click view of the text preview: the picture at its own size.
class TPreviewWizForm : public QDialog {
    Q_OBJECT
public:
    TPreviewWizForm(const QImage& picture, QWidget* parent = nullptr);
    QLabel* Image1() const { return image1_; }

private:
    QLabel* image1_;
};

// GIFWizard1Click: the wizard made, shown modally and dropped.
void RunGIFWizard(Project& project, QWidget* parent);

class TGIFWizardForm : public QDialog {
    Q_OBJECT
public:
    explicit TGIFWizardForm(Project& project, QWidget* parent = nullptr);
    ~TGIFWizardForm() override;

    // The choices the pages hold now (texts that are no numbers count as 0).
    wizard::TWizardChoices Choices() const;

    // The page shown: Panel3 (background), Panel4 (text), Panel5 (effect),
    // Panel6 to Panel9 (the options of fall wall, rain, move apart, lines).
    QWidget* CurrentPage() const;
    QWidget* Page(const char* name) const;

    // Navigation, as the buttons do it.
    void NextButtonClick();
    void BackButtonClick();
    // The text preview: the background (or a blank picture), with the text when asked.
    void ShowPreview(bool withText);
    QImage PreviewPicture() const { return preview_; }
    // Opens the full view of the preview.
    void PreviewImageDblClick();

    QFont TextFont() const;
    void SetTextFont(const QFont& font);
    QColor TextColor() const;
    void SetTextColor(const QColor& color);

    // The seed rain draws with: the clock's, unless a test fixes it.
    void SetRainSeed(uint64_t seed) { rainSeed_ = seed; }

    QPushButton* BackButton() const { return backButton_; }
    QPushButton* NextButton() const { return nextButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    TLabelEffect* Title() const { return title_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildBackgroundPage();
    QWidget* BuildTextPage();
    QWidget* BuildEffectPage();
    QWidget* BuildFallWallPage();
    QWidget* BuildRainPage();
    QWidget* BuildMoveApartPage();
    QWidget* BuildLinesPage();
    QWidget* OptionPage() const;
    void ShowPage(QWidget* page);
    void ChoseBackClick();
    void SelectFontClick();
    void SelectColorClick();
    // Builds the GIF and opens it as the project; the buttons and the cursor come back on
    // every way out.
    void Finish();
    void SetButtonsEnabled(bool back, bool next, bool cancel);

    Project& project_;
    QStackedWidget* pages_;
    TLabelEffect* title_;
    QPushButton* backButton_;
    QPushButton* nextButton_;
    QPushButton* cancelButton_;

    // Page 1.
    QLineEdit* backGroundEdit_;
    QCheckBox* useBackParam_;
    QLineEdit* editWidth_;
    QLineEdit* editHeight_;
    QLineEdit* editN1_;
    QCheckBox* loopCheckBox_;
    QLineEdit* editCount_;
    // Page 2.
    QLineEdit* editText_;
    QLabel* label6_;  // hidden; holds the chosen font and colour
    QLabel* fontName_;  // the chosen font, in the chosen colour
    QLineEdit* leftPos_;
    QLineEdit* topEdit_;
    QScrollArea* scrollBox_;
    QLabel* previewImage_;
    QImage preview_;
    // Page 3.
    QRadioButton* noneRB_;
    QRadioButton* fallWallRB_;
    QRadioButton* rainRB_;
    QRadioButton* moveApartRB_;
    QRadioButton* linesRB_;
    // Page 4a.
    QComboBox* fallCB_;
    QCheckBox* usePaslette_;
    QCheckBox* copyFrame_;
    QCheckBox* unfold_;
    QCheckBox* scaleCB_;
    QCheckBox* fullRound_;
    // Page 4b.
    QCheckBox* rainUsePal_;
    QCheckBox* rainCopyFrame_;
    // Page 4c.
    QRadioButton* horizontal_;
    QRadioButton* vertical_;
    QRadioButton* increaseButton_;
    QRadioButton* diminishButton_;
    QCheckBox* moveApartUsePal_;
    QCheckBox* moveApartCopyFrame_;
    QCheckBox* scale_;
    // Page 4d.
    QLineEdit* editLines_;
    QCheckBox* linesPallette_;
    QCheckBox* linesCopyFrame_;
    QRadioButton* horiz_;
    QRadioButton* vert_;

    uint64_t rainSeed_;
};

} // namespace animora
