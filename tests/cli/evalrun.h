#pragma once
// halvex-eval run as a user would, for the command-line suites.

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace evaltest {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
    QString text() const { return QString::fromUtf8(out); }
    // Standard output as JSON objects, one a line; nothing where a line is not one.
    QList<QJsonObject> lines() const
    {
        QList<QJsonObject> objects;
        for (const QByteArray &line : out.split('\n')) {
            if (line.isEmpty())
                continue;
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
            if (error.error != QJsonParseError::NoError || !doc.isObject())
                return {};
            objects << doc.object();
        }
        return objects;
    }
};

// Runs the program in a locale with input on standard input, in workDir.
// stdoutTo "closed" runs it with standard output closed, "stderr closed"
// with standard error closed; any other name sends standard output there.
inline Run runEval(const QStringList &args, const QByteArray &locale = "C.UTF-8", const QByteArray &input = {},
                   const QString &stdoutTo = {}, const QString &workDir = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // Qt would warn of it on standard error
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workDir);
    const bool closed = stdoutTo.endsWith(QLatin1String("closed"));
    if (!closed && !stdoutTo.isEmpty())
        p.setStandardOutputFile(stdoutTo);
    if (closed) {
        const QString shell = stdoutTo.startsWith(QLatin1String("stderr")) ? QStringLiteral("exec \"$0\" \"$@\" 2>&-")
                                                                           : QStringLiteral("exec \"$0\" \"$@\" >&-");
        p.start(QStringLiteral("/bin/sh"),
                QStringList{ QStringLiteral("-c"), shell, QStringLiteral(HALVEX_EVAL) } + args);
    } else {
        p.start(QStringLiteral(HALVEX_EVAL), args);
    }
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
}

inline Run runEvalIn(const QString &workDir, const QStringList &args)
{
    return runEval(args, "C.UTF-8", {}, {}, workDir);
}

} // namespace evaltest
