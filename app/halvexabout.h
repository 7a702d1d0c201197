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

private:
    std::unique_ptr<Ui::TAboutForm> ui;
};

} // namespace hvx
