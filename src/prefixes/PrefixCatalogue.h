#pragma once

#include <QString>

#include <vector>

// The user's Wine prefixes, wherever the usual launchers keep them: one catalogue, read only.
namespace prefixes {

enum class Kind
{
    Named,       // WINEPREFIX
    Wine,        // ~/.wine
    Winetricks,  // $XDG_DATA_HOME/wineprefixes/*
    Own,         // the embedded default
    Steam,       // steamapps/compatdata/<appid>/pfx in every Steam library
    Bottles,     // one per bottle
    Lutris,      // the prefix of a game's configuration
    Heroic,      // a game's winePrefix, and the default prefixes folder
    PlayOnLinux, // ~/.PlayOnLinux/wineprefix/*
    CrossOver    // ~/.cxoffice/*
};

// "WINEPREFIX", "wine", "winetricks", "navolis", "steam", "bottles", "lutris", "heroic",
// "playonlinux", "crossover": the word that lists and reports show.
QString kindWord(Kind kind);

struct FoundPrefix
{
    Kind kind;
    // For people: "Half-Life 2", "Steam app 228980", "gaming", the folder's name.
    QString name;
    // The folder as found (not resolved), without a trailing slash.
    QString path;
};

// Where to look; fromEnvironment() reads HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and WINEPREFIX
// with the usual fallbacks.
struct Places
{
    QString home;
    QString dataHome;
    QString configHome;
    QString winePrefix; // empty when unset
    QString ownPrefix;  // the embedded default's folder

    static Places fromEnvironment();
};

// A folder holding a user.reg that reads as Wine's registry and a drive_c.
bool isPrefix(const QString &folder);

// Every prefix found, in the order of the kinds above, each real folder once (the first way
// it was found wins). Creates and changes nothing; a configuration file that is missing,
// unreadable or damaged is skipped with a log line.
std::vector<FoundPrefix> discover(const Places &places = Places::fromEnvironment());

} // namespace prefixes
