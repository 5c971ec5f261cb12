// A temporary folder for one test, with helpers to read and write its files as bytes.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

class TempDir {
public:
    TempDir() { dir_.setAutoRemove(true); }

    // Absolute path of name inside the folder.
    std::string path(const std::string& name) const {
        return QFile::encodeName(dir_.filePath(QString::fromStdString(name))).toStdString();
    }
    QString qpath(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name));
    }
    std::string root() const { return QFile::encodeName(dir_.path()).toStdString(); }

    // Writes the file; a file that cannot be written fails the test.
    void write(const std::string& name, const std::string& bytes) const {
        QFile f(qpath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            f.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !f.flush())
            ADD_FAILURE() << "cannot write " << name << ": " << f.errorString().toStdString();
    }
    std::string read(const std::string& name) const {
        QFile f(qpath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const QByteArray b = f.readAll();
        return std::string(b.constData(), static_cast<size_t>(b.size()));
    }
    bool exists(const std::string& name) const { return QFile::exists(qpath(name)); }

private:
    QTemporaryDir dir_;
};
