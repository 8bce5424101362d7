#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

// The help viewer, loaded on first use: one load attempt per run, marked as
// made before it is made, failures silent. On this platform the viewer is a
// CHM viewer program found once; the entry point opens a topic in it.
class THtmlHelpLoader {
public:
    // The viewer's entry point: owner, "file::/topic", command, data -> a
    // window handle, or 0.
    using EntryPoint = std::function<std::uintptr_t(QWidget* owner, const QString& text, std::uint32_t command,
                                                    std::uint32_t data)>;
    // Loads the viewer; nothing when it is not there.
    using Loader = std::function<std::optional<EntryPoint>()>;

    static constexpr std::uint32_t kDisplayTopic = 0;
    static constexpr std::uint32_t kCloseAll = 18;

    explicit THtmlHelpLoader(Loader loader = defaultLoader());
    ~THtmlHelpLoader();  // releases the viewer

    // The one public call: forwards to the entry point once the viewer is loaded.
    std::uintptr_t HtmlHelp(QWidget* owner, const QString& text, std::uint32_t command, std::uint32_t data);

    bool loadTried() const { return m_loadTried; }
    bool loaded() const { return m_entry.has_value(); }
    const QString& libraryName() const { return m_libraryName; }

    // Windows: the system's HHCTRL.OCX and its HtmlHelpW. Elsewhere the CHM
    // viewers of the desktop (xchm, kchmviewer), found on the PATH.
    static Loader defaultLoader();
    // "ZEL-TERRAVOX.chm" under its bare name: the current directory, then the
    // program's own directory; empty when there is none.
    static QString findHelpFile(const QString& bareName);

private:
    void tryLoad();

    Loader m_loader;
    QString m_libraryName = QStringLiteral("HHCTRL.OCX");
    std::optional<EntryPoint> m_entry;
    bool m_loadTried = false;
};

// The help file and the topic text of a topic number: "ZEL-TERRAVOX.chm::/H01.htm".
extern const QString kHelpFile;
// The English help file, beside the Russian one.
extern const QString kEnglishHelpFile;
QString helpTopicText(const QString& helpFile, int topic);
