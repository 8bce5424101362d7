#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// The settings file "Zel-Terravox.ini" that the window and zeltool keep in
// the folder they start in: its name, its sections and keys, and whether
// what was set reached the disk. Every reader and writer of the file takes
// its keys from here.
namespace zel::settings {

// [Path] COM: the index of the port chosen last in the port list.
inline const QString kPortChoice = QStringLiteral("Path/COM");
// [Ports] COMn=device and [PortNotes] COMn=note: ports given by hand.
inline const QString kPorts = QStringLiteral("Ports");
inline const QString kPortNotes = QStringLiteral("PortNotes");
// [Survey]: the electrode spacing, the position of electrode 0, the channels' geometry.
inline const QString kSpacing = QStringLiteral("Survey/Spacing");
inline const QString kX0 = QStringLiteral("Survey/X0");
inline const QString kChannels = QStringLiteral("Survey/Channels");
// [Survey]: what the data check takes for suspect.
inline const QString kMinVoltage = QStringLiteral("Survey/MinVoltage");
inline const QString kSpikeFactor = QStringLiteral("Survey/SpikeFactor");
inline const QString kMaxError = QStringLiteral("Survey/MaxError");
inline const QString kDefaultError = QStringLiteral("Survey/DefaultError");
// [Survey] MinError: the smallest relative error (%) an inversion file gets.
inline const QString kMinError = QStringLiteral("Survey/MinError");
// [Interface] Language=ru|en.
inline const QString kLanguage = QStringLiteral("Interface/Language");
// [Windows]: the place and size of each plot window, by its name.
inline const QString kWindows = QStringLiteral("Windows");

// The user's own settings, the same whatever folder a program starts in: the
// survey's default geometry and the data check's thresholds ([Survey]) and
// the inversion's options ([Inversion]). The registry on Windows
// (HKEY_CURRENT_USER\Software\ZEL-TERRAVOX\zel-terravox), else
// zel-terravox/zel-terravox.ini in the user's configuration folder.
std::unique_ptr<QSettings> userSettings();
// Keeps the user's settings in `file` instead, for the rest of the run (the
// test suites, which must not touch the user's own); empty: the user's again.
void keepUserSettingsIn(const QString& file);
// The sections that live in the user's settings, not in a folder's file.
inline const QStringList kUserSections = {QStringLiteral("Survey"), QStringLiteral("Inversion")};
// Takes the user's sections over from a folder's settings file once: when
// the user's settings have none of them yet and the file has some. True
// when something was taken over.
bool takeOverUserSections(const QSettings& folder, QSettings& user);

// The settings file in `dir`.
QString fileIn(const QString& dir);
std::unique_ptr<QSettings> openIn(const QString& dir);

// The settings file read as a Windows program reads its INI file: sections
// and keys without regard to case, a value whole up to the end of its line
// (commas and all; quotes around it taken away), the text in UTF-8, in
// Windows-1251 where it is not UTF-8, or in UTF-16 after its byte order mark;
// lines that end in CR LF, LF or CR. It is written back in UTF-8 with CR LF.
QSettings::Format iniFormat();

// Writes what was set to the file; the file's name when it could not be
// written (a read-only folder, a file that is not a file), none when it was.
std::optional<QString> notWritten(QSettings& settings);

} // namespace zel::settings
