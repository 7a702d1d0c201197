#pragma once
// Small helpers shared by the model tests.

#include "setup.h"
#include "switchmap.h"

#include <QMetaType>
#include <QString>

#include <initializer_list>

Q_DECLARE_METATYPE(hvx::Setup)

// The 12-character string of a bank with the given positions on.
inline QString bank(std::initializer_list<int> on)
{
    QString s(12, QLatin1Char('0'));
    for (int p : on)
        s[p - 1] = QLatin1Char('1');
    return s;
}

// A setup that evaluates: the given input type and range, output 1 at
// "4 to 20 mA source" unless told otherwise.
inline hvx::Setup inputSetup(int type, int range, int output = 1)
{
    hvx::Setup s;
    s.cbInputType = type;
    s.list(hvx::rangeListFor(type)) = range;
    s.cbOutputRange = output;
    return s;
}
