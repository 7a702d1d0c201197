#pragma once
// The splash screen shown once as the program starts: a frameless window with
// the program's name that closes on its timer, a click or a key.

#include <QDialog>
#include <QTimer>

#include <memory>

namespace Ui {
class TSplashForm;
}

namespace hvx {

class TSplashForm : public QDialog {
    Q_OBJECT

public:
    // The timer starts here: the splash screen's time counts from creation.
    explicit TSplashForm(QWidget *parent = nullptr);
    ~TSplashForm() override;

    // Shows the splash screen modally while its time is not up. Once closed,
    // or when its time ran out before it could be shown, it is not shown again.
    int exec() override;

    static constexpr int DisplayMilliseconds = 2500;
    bool isTimerRunning() const { return Timer1.isActive(); }

public slots:
    void Button1Click();
    void Timer1Timer();

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    std::unique_ptr<Ui::TSplashForm> ui;
    QTimer Timer1;
};

} // namespace hvx
