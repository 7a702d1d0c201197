#pragma once
// The program's style: the platform's own, except that the pictures a style
// gives controls that rarely show one (the menu bar's overflow button) are
// read when first drawn rather than when the control is made.

#include <QProxyStyle>

namespace hvx {

class ProgramStyle : public QProxyStyle {
    Q_OBJECT

public:
    ProgramStyle();

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace hvx
