#pragma once
// The results window: the four DIP switch banks S1 to S4 set from an
// evaluated switch map, the plain-language summary of the setup, the date and
// the setup file's name, and the print options kept between runs.

#include "evaluation.h"
#include "printoptions.h"
#include "setup.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace Ui {
class TResultForm;
}

namespace hvx {

class ResultBanks;
class ShapeWidget;

class TResultForm : public QDialog {
    Q_OBJECT

public:
    // Reads the print options from fallbackPath (by default the user's
    // configuration folder; empty for none), or from printIniPath (the
    // program's folder followed by "hvxprint.ini") while a file is there.
    // The window is made without its controls (see ensureControls).
    explicit TResultForm(const QString &printIniPath, QWidget *parent = nullptr,
                         const QString &fallbackPath = PrintOptionsFile::defaultFallbackPath());
    ~TResultForm() override;

    // Fills the window from a completed evaluation and shows it modally;
    // returns when the window is closed.
    void ShowResults(const Setup &setup, const EvaluationValues &values, const QString &setupFileName);
    // The filling step of ShowResults alone, without showing the window.
    // plantColumns, when given, is a line below the summary with the plant's
    // own columns of the setup's row ("tag: TT-104 · location: Pump house 2").
    void FillResults(const Setup &setup, const EvaluationValues &values, const QString &setupFileName,
                     const QString &plantColumns = QString());

    // The four check boxes of the print options panel.
    PrintOptions printOptions() const;
    void setPrintOptions(const PrintOptions &options);
    // The options file in use (after a fallback, the one in the configuration
    // folder).
    QString printOptionsPath() const { return m_optionsFile.activePath(); }

    // Makes the window's controls, once: making its 150 controls and
    // measuring their faces would otherwise delay the program's first window.
    // Filling, showing and printing the window make them first; until then
    // the window has no child that findChild or findChildren could find.
    void ensureControls();

    // The on and off square of a column (bank 1 to 4, position 1 to 12);
    // nullptr while the window has no controls.
    ShapeWidget *onSquare(int bank, int position) const;
    ShapeWidget *offSquare(int bank, int position) const;

public slots:
    void bCloseClick();
    void bPrintClick();

    void setVisible(bool visible) override;

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void done(int result) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormCloseQuery();
    // Alt+F7, whatever other modifier is held too.
    bool FormKeyDown(QKeyEvent *event);
    // Shift+F10: the context menu of the control that has the focus, as the
    // Menu key and a right click give it.
    void showContextMenu();
    void showBank(int bank, const SwitchBank &positions);
    void explainSquares(const Setup &setup);
    void setSummaryText(QLabel *label, const QString &text);
    void showPlantColumns(const QString &text, bool dual);
    void applyFonts();
    void fitTexts();
    void centreOnScreen();
    // The controls, once ensureControls() has made them.
    Ui::TResultForm &ui() const
    {
        Q_ASSERT(m_ui);
        return *m_ui;
    }
    void collectSquares();

    // Readies the window's own controls for paper.
    friend class ResultFormOnPaper;

    std::unique_ptr<Ui::TResultForm> m_ui;
    PrintOptionsFile m_optionsFile;
    // The options as last read or set, until the check boxes exist to hold
    // them.
    PrintOptions m_options;
    bool m_textsFitted = false;
    QLabel *m_plantColumns = nullptr; // made when a sheet first has plant columns
    // The squares by bank (0 to 3), position (0 to 11) and row (0 on, 1 off).
    using Squares = std::array<std::array<std::array<ShapeWidget *, 2>, 12>, 4>;
    Squares m_squares{};
    // Reading the banks from the keyboard, once the controls are made.
    std::unique_ptr<ResultBanks> m_banks;
};

} // namespace hvx
