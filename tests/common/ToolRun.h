#pragma once

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

// A command-line tool run as a script would run it: exit code and what it printed.
struct ToolRun {
    int status = -1;  // -1: crashed or did not end in time
    QString out;
    QString err;
};

// env: NAME=VALUE pairs added to this process's environment.
inline ToolRun runTool(const QString &program, const QStringList &args, const QString &workDir,
                       const QStringList &env = {}, int timeoutMs = 30000)
{
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const QString &kv : env)
        e.insert(kv.section('=', 0, 0), kv.section('=', 1));
    p.setProcessEnvironment(e);
    p.setWorkingDirectory(workDir);
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The bytes of a file; 'missing' when it cannot be read.
inline QByteArray fileBytes(const QString &path, const QByteArray &missing = {})
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : missing;
}

// Writes a file whole and gives back its path (for a test that then opens it).
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}
