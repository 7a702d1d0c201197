#pragma once
// The About box: the program's name, icon and version.

#include <QDialog>

#include <memory>

namespace Ui {
class TAboutForm;
}

namespace hvx {

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The title in blue, as readable as the theme allows.
    void colourTitle();
    // The icons are decoded when the box is first shown, not at start-up.
    void loadIcons();

    std::unique_ptr<Ui::TAboutForm> ui;
    bool m_iconsLoaded = false;
};

} // namespace hvx
