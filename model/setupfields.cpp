#include "setupfields.h"

namespace hvx {

QString SetupField::name() const
{
    switch (kind) {
    case Kind::List:
        return Texts::name(ListId(id));
    case Kind::Choice:
        return Texts::name(ChoiceId(id));
    case Kind::Text:
        break;
    }
    return id == 0 ? QStringLiteral("eCustomLow") : QStringLiteral("eCustomHigh");
}

int SetupField::index(const Setup &s) const
{
    switch (kind) {
    case Kind::List:
        return s.list(ListId(id));
    case Kind::Choice:
        return s.choice(ChoiceId(id));
    case Kind::Text:
        break;
    }
    return 0;
}

void SetupField::setIndex(Setup &s, int index) const
{
    if (kind == Kind::List)
        s.list(ListId(id)) = index;
    else if (kind == Kind::Choice)
        s.choice(ChoiceId(id)) = index;
}

QString SetupField::text(const Setup &s) const
{
    if (kind != Kind::Text)
        return QString();
    return id == 0 ? s.eCustomLow : s.eCustomHigh;
}

void SetupField::setText(Setup &s, const QString &text) const
{
    if (kind == Kind::Text)
        (id == 0 ? s.eCustomLow : s.eCustomHigh) = text;
}

const std::vector<SetupField> &setupFields()
{
    static const std::vector<SetupField> fields = [] {
        std::vector<SetupField> f;
        for (int i = 0; i < ListCount; ++i)
            f.push_back({ SetupField::Kind::List, i });
        for (int i = 0; i < ChoiceCount; ++i)
            f.push_back({ SetupField::Kind::Choice, i });
        f.push_back({ SetupField::Kind::Text, 0 });
        f.push_back({ SetupField::Kind::Text, 1 });
        return f;
    }();
    return fields;
}

} // namespace hvx
