// The configuration file, kept where the desktop keeps a user's settings
// ("$XDG_CONFIG_HOME/kalvor/kalvor.ini", "~/.config/kalvor/kalvor.ini" when
// XDG_CONFIG_HOME is not set): sections "SQL" (server, engine, base) and
// "Application" (path, WndPosX, WndPosY, WndCX, WndCY, and InfinLoader, read
// only: the command that loads the ИНФИН postings).
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <climits>

struct KalvorConfig {
    static constexpr int kNoValue = INT_MIN; // no stored window position or size

    QString server; // default: the computer's name
    QString engine; // default "KVR"
    QString base; // empty when absent
    QString path; // working folder, always ending in a separator
    int wndPosX = kNoValue;
    int wndPosY = kNoValue;
    int wndCX = kNoValue;
    int wndCY = kNoValue;
    QString infinLoader; // empty when absent: no ИНФИН loader is run

    // Reads the file; missing file or keys give the defaults. Lines of other
    // sections and keys are kept and written back unchanged.
    void Load(const QString& fileName);
    // Writes the file under a temporary name and renames it, making its
    // folder (its owner's alone) when missing; false on failure, with the
    // message naming the file and why in `error` when given.
    bool Save(const QString& fileName, QString* error = nullptr) const;

    bool HasWindowRect() const
    {
        return wndPosX != kNoValue && wndPosY != kNoValue && wndCX != kNoValue && wndCY != kNoValue;
    }

    // "<user's settings folder>/kalvor/kalvor.ini": $XDG_CONFIG_HOME when it
    // is an absolute path, else ~/.config.
    static QString DefaultFileName();
    // Where earlier versions kept the file: beside the program, its full name
    // with ".ini" (the program has no extension on Linux; one that it has is
    // replaced).
    static QString FormerFileName();
    // The file to read: the file itself, or while it does not exist the
    // former one when that exists, so that settings kept there are read once
    // and then saved in the new place.
    static QString FileToRead(const QString& fileName, const QString& formerFileName);

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;
    };
    QList<Section> m_sections;
};
