#include "scripteddialogs.h"

namespace hvx {

int ScriptedDialogs::unexpectedCalls() const
{
    int n = 0;
    for (const Call &c : m_calls)
        n += c.unexpected ? 1 : 0;
    return n;
}

bool ScriptedDialogs::allAnswersUsed() const
{
    return m_answers.empty() && m_openFiles.empty() && m_saveFiles.empty() && m_folders.empty() && m_prints.empty();
}

void ScriptedDialogs::message(QWidget *, const QString &title, const QString &text, DialogIcon icon)
{
    m_calls.push_back({ Kind::Message, title, text, icon, {}, {}, false });
}

DialogAnswer ScriptedDialogs::question(QWidget *, const QString &title, const QString &text, DialogIcon icon)
{
    Call c{ Kind::Question, title, text, icon, {}, {}, m_answers.empty() };
    m_calls.push_back(c);
    if (m_answers.empty())
        return DialogAnswer::Cancel;
    const DialogAnswer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

QString ScriptedDialogs::openFileName(QWidget *, const QStringList &filters, const QString &defaultSuffix)
{
    m_calls.push_back({ Kind::OpenFile, {}, {}, DialogIcon::None, filters, defaultSuffix, m_openFiles.empty() });
    if (m_openFiles.empty())
        return QString();
    const QString p = m_openFiles.front();
    m_openFiles.pop_front();
    return p;
}

QString ScriptedDialogs::saveFileName(QWidget *, const QStringList &filters, const QString &defaultSuffix,
                                      const QString &preset)
{
    m_calls.push_back({ Kind::SaveFile, {}, preset, DialogIcon::None, filters, defaultSuffix, m_saveFiles.empty() });
    if (m_saveFiles.empty())
        return QString();
    const QString p = m_saveFiles.front();
    m_saveFiles.pop_front();
    return p;
}

QString ScriptedDialogs::folderName(QWidget *, const QString &title, const QString &preset)
{
    m_calls.push_back({ Kind::Folder, title, preset, DialogIcon::None, {}, {}, m_folders.empty() });
    if (m_folders.empty())
        return QString();
    const QString p = m_folders.front();
    m_folders.pop_front();
    return p;
}

bool ScriptedDialogs::print(QWidget *, QPrinter &printer)
{
    m_calls.push_back({ Kind::Print, {}, {}, DialogIcon::None, {}, {}, m_prints.empty() });
    if (m_prints.empty())
        return false;
    auto answer = std::move(m_prints.front());
    m_prints.pop_front();
    return answer(printer);
}

} // namespace hvx
