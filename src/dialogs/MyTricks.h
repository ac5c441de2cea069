#pragma once

#include <QString>

// Small shell and file routines shared by the windows.

// Hands a document, program or address to the shell's "Open". What the shell could not open is
// named in the message window: no program for it, or a target missing or refused.
void OpenInShell(const QString &target);

// OpenInShell, only when the named file exists.
void RunIfExists(const QString &path);

// Lets the application process pending messages, so that a busy window paints between steps.
void ProcessMessages(int times = 1);

// Called between the steps of long work: at most every few dozen milliseconds it lets pending
// events through, but not the user's input, so that the busy window paints and animates while
// no click reaches the work's own window.
void LetWindowsPaint();

// The first line of a text file without its line end; empty when the file is missing.
QString ReadFirstLine(const QString &path);

// Creates the file holding exactly the text, only when it does not exist yet.
// Throws std::runtime_error when the file cannot be created.
void WriteLineIfMissing(const QString &path, const QString &text);
