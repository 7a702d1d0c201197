#pragma once
// The program's style: the platform's own, except that
// - a pick-only list drops below its box with the box's own number of rows
//   (styles that show such a list as a menu ignore the row count and show
//   every item; a style sheet would do the same, but costs far more at
//   start-up);
// - the pictures a style gives controls that rarely show one (the menu bar's
//   overflow button) are read when first drawn rather than when the control
//   is made.

#include <QProxyStyle>

namespace hvx {

class ProgramStyle : public QProxyStyle {
    Q_OBJECT

public:
    ProgramStyle();

    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace hvx
