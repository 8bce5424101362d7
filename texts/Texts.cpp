#include "Texts.h"

#include "data/Settings.h"
#include "survey/Polarisation.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <memory>
#include <vector>

namespace zel::texts {

namespace {

// The context of the table's texts in the translation files.
constexpr char kContext[] = "zel::texts";

QString tr(const char* text) { return QCoreApplication::translate(kContext, text); }

QTranslator& qtTranslator()
{
    static QTranslator qt;
    return qt;
}

// The translations of the program's texts into the language chosen: one
// file of each library built into the program (":/i18n/<library>_<code>.qm").
std::vector<std::unique_ptr<QTranslator>>& programTranslators()
{
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

Language& chosenLanguage()
{
    static Language language = Language::Russian;
    return language;
}

// Where the settings file keeps the language of the interface.
const QString& kLanguageKey = settings::kLanguage;

} // namespace

QLocale numberLocale()
{
    // Before any translation is installed the texts are the sources' own,
    // Russian and English mixed: numbers keep the full stop.
    QLocale numbers = programTranslators().empty()                ? QLocale::c()
        : currentLanguage() == Language::English ? QLocale(QLocale::English, QLocale::UnitedKingdom)
                                                 : QLocale(QLocale::Russian, QLocale::Russia);
    numbers.setNumberOptions(numbers.numberOptions() | QLocale::OmitGroupSeparator);
    return numbers;
}

bool installQtTranslations(const QLocale& locale)
{
    QTranslator& qt = qtTranslator();
    QCoreApplication::removeTranslator(&qt);
    if (!qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&qt);
}

bool installProgramTranslations(Language language)
{
    auto& translators = programTranslators();
    for (const auto& t : translators)
        QCoreApplication::removeTranslator(t.get());
    translators.clear();
    chosenLanguage() = language;
    const QString code = language == Language::English ? QStringLiteral("en") : QStringLiteral("ru");
    const QDir folder(QStringLiteral(":/i18n"));
    const QStringList files = folder.entryList({QStringLiteral("*_%1.qm").arg(code)}, QDir::Files, QDir::Name);
    bool all = !files.isEmpty();
    for (const QString& file : files) {
        auto t = std::make_unique<QTranslator>();
        // A module written in this language has nothing to translate: its
        // translator is empty, and Qt says so as a failure to install.
        all = t->load(folder.filePath(file)) && (QCoreApplication::installTranslator(t.get()) || t->isEmpty()) && all;
        translators.push_back(std::move(t));
    }
    return all;
}

bool useLanguage(Language language)
{
    if (language == Language::Russian)
        installQtTranslations(QLocale(QLocale::Russian, QLocale::Russia));
    else
        QCoreApplication::removeTranslator(&qtTranslator());  // Qt's own texts are English without one
    return installProgramTranslations(language);
}

Language currentLanguage() { return chosenLanguage(); }

std::optional<Language> storedLanguage(QSettings& settings)
{
    const QString code = settings.value(kLanguageKey).toString();
    if (code == QLatin1String("ru"))
        return Language::Russian;
    if (code == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

void storeLanguage(QSettings& settings, Language language)
{
    settings.setValue(kLanguageKey, language == Language::English ? QStringLiteral("en") : QStringLiteral("ru"));
}

Language languageOfEnvironment()
{
    // The messages' locale as POSIX finds it: LC_ALL, then LC_MESSAGES, then LANG.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value.startsWith(QLatin1String("ru")) ? Language::Russian : Language::English;
    }
    return QLocale::system().language() == QLocale::Russian ? Language::Russian : Language::English;
}

namespace {

// Puts the arguments in place of %1 to %9 in one pass, so that an argument
// holding "%1" itself (a file name) stays as it is.
QString withArguments(const QString& text, const QStringList& args)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int n = i + 1 < text.size() ? text.at(i + 1).digitValue() : -1;
        if (text.at(i) == QLatin1Char('%') && n >= 1 && n <= args.size()) {
            out += args.at(n - 1);
            ++i;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

QString body(const ReportLine& line)
{
    switch (line.id) {
    case LineId::StationText:
        return line.text;
    case LineId::MeasurementCount:
        return tr("Количество измерений %1").arg(line.number);
    case LineId::PartialRecords:
        return tr("Блок записей неполный: декодировано измерений %1 из %2").arg(line.number).arg(line.of);
    case LineId::PortNotOpened:
        return tr("Невозможно открыть порт");
    case LineId::NoAnswer:
        return tr("Время ожидания истекло (1)");
    case LineId::NoLink:
        return tr("Не установлено соединение");
    case LineId::HeaderTimedOut:
        return tr("Время ожидания истекло (2)");
    case LineId::BytesRead:
        return tr("Считано %1 байт").arg(line.number);
    case LineId::DataTimedOut:
        return tr("Время ожидания истекло (3)");
    case LineId::ChecksumsDiffer:
        return tr("Не совпали контрольные суммы");
    case LineId::RepeatReading:
        return tr("Повторите ввод");
    case LineId::TableAnswerTimedOut:
        return tr("Время ожидания k/s истекло (4)");
    case LineId::TableWritten:
        return tr("Таблица записана успешно! Всего %1").arg(line.number);
    case LineId::TableChecksumDiffers:
        return tr("Не совпала контрольная сумма");
    // The firmware upload's lines follow its time stamp. Most begin with a
    // blank of their own; the checksum line has none and ends in a blank.
    case LineId::FirmwareWriting:
        return tr(" Запись программы в EEPROM");
    case LineId::FirmwareAnswerTimedOut:
        return tr(" Время ожидания истекло (2), %1").arg(line.number);
    case LineId::FirmwareLoaded:
        return tr(" Программа загружена");
    case LineId::FirmwareChecksumDiffers:
        return tr("Не совпала контрольная сумма ");
    case LineId::StoppedByUser:
        return tr("Остановлено пользователем");
    case LineId::LineNotQuiet:
        return tr("Линия не затихает: станция продолжает передачу");
    case LineId::NotAMemoryHeader:
        return tr("Ответ станции не является заголовком памяти");
    }
    return {};
}

} // namespace

QString lineText(const ReportLine& line)
{
    // Of the handshake's lines after a time stamp, the time-out follows it
    // directly and the failed connection after a blank.
    if (!line.stamp.isEmpty() && line.id == LineId::NoLink)
        return line.stamp + QLatin1Char(' ') + body(line);
    return line.stamp + body(line);
}

QStringList lineTexts(const QList<ReportLine>& lines)
{
    QStringList texts;
    texts.reserve(lines.size());
    for (const ReportLine& line : lines)
        texts << lineText(line);
    return texts;
}

QString errorText(const ZelError& error)
{
    QString text;
    switch (error.id()) {
    case ErrorId::StreamRead:
        text = tr("Stream read error");
        break;
    case ErrorId::NotAnInteger:
        text = tr("'%1' is not a valid integer value");
        break;
    case ErrorId::HeaderTooShort:
        text = tr("Заголовок данных неполный: %1 байт вместо %2");
        break;
    case ErrorId::CannotOpenFile:
        text = tr("Cannot open file \"%1\". %2");
        break;
    case ErrorId::FileTooLarge:
        text = tr("Файл \"%1\" слишком велик (%2 байт) для файла данных станции");
        break;
    case ErrorId::ReadError:
        text = tr("Read error in file \"%1\". %2");
        break;
    case ErrorId::CannotCreateFile:
        text = tr("Cannot create file \"%1\". %2");
        break;
    case ErrorId::WriteError:
        text = tr("Write error in file \"%1\". %2");
        break;
    case ErrorId::NotRegularFile:
        text = tr("«%1» — не обычный файл (устройство, канал или папка): прочитать его как файл нельзя");
        break;
    case ErrorId::OutputIsInput:
        text = tr("«%1» — это входной файл: запись в него уничтожила бы данные. Укажите другое имя");
        break;
    case ErrorId::TableValueOutOfRange:
        text = tr("Строка %1: %2 = %3 вне пределов от %4 до %5");
        break;
    case ErrorId::TableEntryIncomplete:
        text = tr("Строка %1: запись неполная, нужны четыре числа A, B, M, N");
        break;
    case ErrorId::InvalidNumber:
        text = tr("Invalid numeric input \"%1\" in line %2");
        break;
    case ErrorId::TableTooLong:
        text = tr("Строка %1: в таблице больше %2 записей");
        break;
    case ErrorId::InvalidDate:
        text = tr("Invalid argument to date encode");
        break;
    case ErrorId::InvalidTime:
        text = tr("Invalid argument to time encode");
        break;
    case ErrorId::NotFirmware:
        text = tr("Этот файл не является программой для прибора ZEL-TERRAVOX");
        break;
    case ErrorId::FirmwareTooLarge:
        text = tr("Файл прошивки слишком велик: %1 байт, допустимо не более %2");
        break;
    case ErrorId::NoPositions:
        text = tr("В данных нет измерений с положениями электродов (методы 1–5): выгружать нечего");
        break;
    case ErrorId::EverythingLeftOut:
        text = tr("Все %1 значений с положениями электродов оставлены в стороне: исключено %2, отмечено проверкой "
                  "%3; выгружать нечего");
        break;
    case ErrorId::SequenceParameter:
        text = tr("%1 = %2: нужно %3");
        break;
    case ErrorId::SequenceSingleChannel:
        text = tr("Установка %1 одноканальная: четыре канала бывают только у диполь-дипольной");
        break;
    case ErrorId::SequenceEmpty:
        text = tr("На линии из %1 электродов не помещается ни одна установка: уменьшите a или n");
        break;
    case ErrorId::SequenceTooLong:
        text = tr("В таблице было бы %1 записей, а станция принимает не больше %2, на %3 меньше: уменьшите "
                  "a-max, n-max или число электродов");
        break;
    case ErrorId::SequenceElectrodeRange:
        text = tr("Электрод %1 = %2 вне пределов от %3 до %4 на %5: сдвиньте первый номер или уменьшите линию");
        break;
    case ErrorId::ProfileNotInData:
        text = tr("Профиля L%1 F%2 (линия %1, файл %2) в данных нет");
        break;
    case ErrorId::LineNotInData:
        text = tr("Линии %1 в данных нет");
        break;
    case ErrorId::TopographyLine:
        text = tr("Файл рельефа «%1», строка %2: нужны два числа — x (или номер электрода) и высота");
        break;
    case ErrorId::TopographyEmpty:
        text = tr("В файле рельефа «%1» нет ни одной высоты");
        break;
    case ErrorId::TopographyOutOfRange:
        text = tr("Файл рельефа «%1», строка %2: %3 вне пределов от %4 до %5");
        break;
    case ErrorId::ElectrodesTogether:
        text = tr("Профиль L%1 F%2: электроды %3 и %4 стоят в одной точке, x = %5 м: проверьте шаг и рельеф");
        break;
    case ErrorId::TopographyTwice:
        text = tr("Файл рельефа «%1», строка %2: для %3 уже дана другая высота");
        break;
    case ErrorId::WholeLineSpacing:
        text = tr("Линия %1 целиком: файл %2 размечен с шагом %3 м, а файл %4 — с шагом %5 м; "
                  "в одну линию собираются только расстановки с одним шагом");
        break;
    case ErrorId::WholeLineNotPlaced:
        text = tr("Линия %1 целиком: у файла %2 нет своего X0 в геометрии линий; расстановки собираются в линию "
                  "только по своим X0 (иначе они ложатся друг на друга)");
        break;
    case ErrorId::WholeLineOnePlace:
        text = tr("Линия %1 целиком: файлы %2 и %3 размечены с одним X0 = %4 м; расстановки одной линии "
                  "лежат в разных местах");
        break;
    case ErrorId::SlopeSteeperThanTape:
        text = tr("Профиль L%1 F%2: между %3 и %4 земля поднимается на %5 м, а лента на ней — %6 м: "
                  "по склону так не бывает; проверьте рельеф и шаг");
        break;
    case ErrorId::LinesFileLine:
        text = tr("Файл геометрии линий «%1», строка %2: «%3» — непонятная строка или значение вне пределов");
        break;
    case ErrorId::SpacingsFileLine:
        text = tr("Лист разносов «%1», строка %2: «%3» — ожидаются номер станции, AB/2 и MN/2 в метрах "
                  "(MN/2 меньше AB/2, станция один раз на лист)");
        break;
    }
    // A reason the system does not give leaves no blank behind the full stop.
    return withArguments(text, error.args()).trimmed();
}

QString openFailureReason(const ComPrompt& prompt)
{
    switch (prompt.reason) {
#ifdef Q_OS_WIN
    case ComPrompt::Reason::NoDevice:
        return tr("no such port (%1). Is the adapter plugged in, and does the Device Manager list it under "
                  "Ports (COM & LPT)?")
            .arg(prompt.detail);
    case ComPrompt::Reason::PermissionDenied:
        return tr("access denied (%1). Another program may hold the port, or the adapter's driver refuses it: "
                  "see the Device Manager.")
            .arg(prompt.detail);
#else
    case ComPrompt::Reason::NoDevice:
        return tr("no such device (%1). Is the adapter plugged in?").arg(prompt.detail);
    case ComPrompt::Reason::PermissionDenied:
        return tr("permission denied (%1). Your user must be in the group dialout: "
                  "sudo adduser $USER dialout, then log out and in again.")
            .arg(prompt.detail);
#endif
    case ComPrompt::Reason::Busy:
        return tr("the port is busy: another program holds it (%1).").arg(prompt.detail);
    case ComPrompt::Reason::Unknown:
        break;
    }
    return prompt.detail;
}

QString comPromptText(const ComPrompt& prompt)
{
    switch (prompt.kind) {
    case ComPrompt::Kind::OpenFailed:
        // The port number and ": " end the component's own text; the reason follows.
        return tr("Error opening COM%1: ").arg(prompt.port) + openFailureReason(prompt);
    case ComPrompt::Kind::ResponseTimeout:
        return tr("Timeout waiting for response.");
    case ComPrompt::Kind::PortInUse:
        return tr("Port is in use -- operation aborted");
    }
    return {};
}

QString noFreePortsHelp()
{
#ifdef Q_OS_WIN
    return tr("This usually means that no serial adapter is plugged in, that its driver is missing (the Device "
              "Manager lists the adapter under Ports (COM & LPT) once it works), or that another program holds the "
              "port. The program carries on without a port: data files can still be loaded, viewed and exported.");
#else
    return tr("On Linux this usually means that your user is not in the group dialout "
              "(sudo adduser $USER dialout, then log out and in again), or that no serial adapter is plugged in. "
              "The program carries on without a port: data files can still be loaded, viewed and exported.");
#endif
}

QString firmwareSure() { return tr("Вы уверены? Будьте внимательны!"); }

QString firmwareModule(const QString& module, const QString& lineBreak)
{
    return tr("У Вас выбрана прошивка для модуля ") + module + lineBreak + tr("Продолжить?");
}

QString fileProblem(const QString& file, qint64 fileSize, const std::optional<ZelError>& error)
{
    static const char* const blocks[] = {"", QT_TRANSLATE_NOOP("zel::texts", "заголовок"),
                                         QT_TRANSLATE_NOOP("zel::texts", "время чтения"),
                                         QT_TRANSLATE_NOOP("zel::texts", "записи измерений")};
    if (fileSize == 0)
        return tr("Файл «%1» пуст.").arg(file);
    if (!error)  // a header that is not the station's
        return tr("Файл «%1» не похож на память станции: в его заголовке нет ни «ZEL», ни «E1».").arg(file);
    const QStringList& a = error->args();
    if (error->id() != ErrorId::StreamRead || a.size() < 4)
        return {};
    const int block = a.at(0).toInt();
    const QString name = block >= 1 && block <= 3 ? tr(blocks[block]) : a.at(0);
    if (a.at(2).isEmpty())
        return withArguments(tr("Файл «%1» слишком короткий: он кончается на байте %2, где должна стоять длина "
                                "блока %3 (%4)."),
                             {file, QString::number(a.at(1).toLongLong() + a.at(3).toLongLong()), a.at(0), name});
    if (a.at(2).toLongLong() < 0)
        return withArguments(tr("Файл «%1» не похож на память станции: блок %2 (%3) с байта %4 объявляет "
                                "отрицательную длину %5."),
                             {file, a.at(0), name, a.at(1), a.at(2)});
    return withArguments(tr("Файл «%1» не похож на память станции: блок %2 (%3) с байта %4 объявляет длину %5 байт, "
                            "а за ней в файле %6 байт."),
                         {file, a.at(0), name, a.at(1), a.at(2), a.at(3)});
}

QString headerRejected() { return tr("Эта программа для \"ZEL-TERRAVOX\" версии 1XX"); }

Hint hintFor(LineId id)
{
    constexpr int kReading = 3, kTable = 6, kFirmware = 7;  // help topics H03, H06, H07
    switch (id) {
    case LineId::NoAnswer:
        return {tr("Станция не отвечает: проверьте кабель и питание станции, выбранный порт и скорость, "
                   "установленную на станции."),
                kReading};
    case LineId::NoLink:
        return {tr("Станция отвечает, но без кода связи: проверьте скорость, установленную на станции."), kReading};
    case LineId::HeaderTimedOut:
        return {tr("Станция не прислала заголовок памяти: проверьте скорость на станции и повторите чтение."),
                kReading};
    case LineId::DataTimedOut:
        return {tr("Передача данных прервалась: проверьте кабель и питание станции и повторите чтение."), kReading};
    case LineId::ChecksumsDiffer:
        return {tr("Данные пришли искажёнными: проверьте кабель и повторите чтение."), kReading};
    case LineId::LineNotQuiet:
    case LineId::NotAMemoryHeader:
        return {tr("Станция ещё передаёт прерванное чтение: подождите, пока она закончит (или выключите и "
                   "включите её), и повторите чтение."),
                kReading};
    case LineId::TableAnswerTimedOut:
    case LineId::TableChecksumDiffers:
        return {tr("Станция не подтвердила таблицу: проверьте кабель и скорость и повторите запись."), kTable};
    case LineId::FirmwareAnswerTimedOut:
    case LineId::FirmwareChecksumDiffers:
        return {tr("Станция не подтвердила прошивку: проверьте кабель и повторите запись."), kFirmware};
    default:
        return {};
    }
}

QString fileWritten(const QString& path) { return tr("Записан файл %1").arg(path); }

QString fileLoaded(const QString& path, int measurements)
{
    return tr("Загружен файл %1: измерений %2").arg(path).arg(measurements);
}

QString folderNotOpened(const QString& path)
{
    return tr("Чтения хранятся в папке %1, но открыть её нечем: откройте её в файловом менеджере.").arg(path);
}

QString workbookNotOpened(const QString& path)
{
    return tr("Книга записана в файл %1, но открыть её нечем: установите программу для таблиц "
              "(например, LibreOffice Calc) или откройте файл на другом компьютере.")
        .arg(path);
}

QString openFolder() { return tr("Открыть папку"); }

QString surveyGeometryCommand() { return tr("Survey geometry..."); }
QString dataCheckCommand() { return tr("Data check..."); }
QString invertCommand() { return tr("Invert..."); }
QString allLinesCommand() { return tr("All lines"); }
QString soundingCommand() { return tr("Sounding"); }
QString checkSummary(int line, int file, int values, int flagged, const QStringList& flagCounts,
                     std::optional<double> medianError)
{
    return tr("L%1 F%2: %3 values, %4 flagged (%5), median error %6")
        .arg(line)
        .arg(file)
        .arg(values)
        .arg(flagged)
        .arg(flagCounts.join(QStringLiteral(", ")),
             medianError ? QStringLiteral("%1 %").arg(numberLocale().toString(*medianError, 'f', 2)) : tr("none"));
}
QString errorModelLine(int line, int file, int pairs, double a, double b)
{
    const QLocale numbers = numberLocale();
    return tr("L%1 F%2: error model from %3 repeat and reciprocal pairs: err = %4 ohm + %5 % of |R|")
        .arg(line)
        .arg(file)
        .arg(pairs)
        .arg(numbers.toString(a, 'g', 3), numbers.toString(100 * b, 'f', 2));
}
QStringList polarisationReport(const std::vector<MeasurementRecord>& records, const std::vector<ChannelValue>& values,
                               const std::vector<ValueCheck>& checks, const std::vector<std::size_t>& indices,
                               const Profile& profile, bool plainNames)
{
    QStringList lines;
    const QLocale numbers = numberLocale();
    const auto [pair, effects] = profileEffects(records, values, checks, indices, profile);
    if (pair) {
        const EffectSummary s = summarizeEffects(profile, *pair, effects);
        static const char* const names[kEffectFlags] = {QT_TRANSLATE_NOOP("zel::texts", "выброс"),
                                                        QT_TRANSLATE_NOOP("zel::texts", "отрицательный"),
                                                        QT_TRANSLATE_NOOP("zel::texts", "округление"),
                                                        QT_TRANSLATE_NOOP("zel::texts", "разные токи")};
        QStringList counts;
        for (int bit = 0; bit < kEffectFlags; ++bit)
            counts << QStringLiteral("%1 %2")
                          .arg(plainNames ? QString::fromLatin1(effectFlagNames(1u << bit)) : tr(names[bit]))
                          .arg(s.byFlag[std::size_t(bit)]);
        if (s.quadripoles > 0)
            lines << tr("L%1 F%2: частотный эффект %3/%4 Гц у %5 четырёхполюсников, медиана %6 % (%7)")
                         .arg(profile.line)
                         .arg(profile.file)
                         .arg(numbers.toString(*frequencyHertz(pair->low)), numbers.toString(*frequencyHertz(pair->high)))
                         .arg(s.quadripoles)
                         .arg(numbers.toString(s.medianPfe, 'f', 2), counts.join(QStringLiteral(", ")));
        // Each flagged effect under the CSV's names, for a script to read:
        // its low reading's place and channel, electrodes, effect and error.
        for (const FrequencyEffect& e : effects) {
            if (!plainNames || e.flags == 0)
                continue;
            const auto& n = e.low.value.electrodes->number;
            lines << QStringLiteral("%1 ch%2 L%3 F%4  a %5 b %6 m %7 n %8  pfe %9 %  err %10  %11")
                         .arg(e.low.value.record + 1)
                         .arg(e.low.value.channel)
                         .arg(profile.line)
                         .arg(profile.file)
                         .arg(n[0])
                         .arg(n[1])
                         .arg(n[2])
                         .arg(n[3])
                         .arg(QString::number(e.pfe, 'f', 2), QString::number(e.errorPoints, 'f', 2),
                              QString::fromLatin1(effectFlagNames(e.flags)));
        }
    }
    // The records with two channels or more, and those whose channels
    // contradict consecutive dipoles.
    std::map<int, int> channelsOf;
    std::set<int> contradicting;
    for (const std::size_t i : indices) {
        const ChannelValue& v = values[i];
        if (!v.r)
            continue;
        ++channelsOf[v.record];
        if (checks[i].flags & FlagWiring)
            contradicting.insert(v.record + 1);
    }
    if (!contradicting.empty()) {
        const int judged = int(std::count_if(channelsOf.begin(), channelsOf.end(), [](const auto& c) { return c.second > 1; }));
        QStringList first;
        for (const int r : contradicting) {
            if (first.size() == 10) {
                first << QStringLiteral("…");
                break;
            }
            first << QString::number(r);
        }
        lines << tr("L%1 F%2: каналы %3 из %4 записей не спадают как соседние диполи (записи %5): "
                    "каналы подключены иначе, или это повторы одного диполя (в геометрии съёмки «только первый канал»)?")
                     .arg(profile.line)
                     .arg(profile.file)
                     .arg(contradicting.size())
                     .arg(judged)
                     .arg(first.join(QStringLiteral(", ")));
    }
    return lines;
}

QString atFrequency(double hertz)
{
    return tr(" (на частоте %1 Гц)").arg(numberLocale().toString(hertz));
}

QString inversionRunning()
{
    return tr("Идёт инверсия: команда не выполнена. Дайте её снова, когда инверсия кончится или после «Стоп» в окне этой инверсии (разрез, сравнение или все линии)");
}
QString inversionRefusal(const char* reason)
{
    static const char* const kFixed[] = {
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "an electrode's position is not a number"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "a datum's error is not a number"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "fewer than 4 electrodes"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "fewer than 4 data"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "no cell under the line"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "no cell under the lines"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "two electrodes at one place"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "fewer than 2 electrodes on every line"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the ground is too steep for the mesh to follow it"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the base model was made on another mesh"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the electrodes must be at least two, each at its own position"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "an electrode's height is not a number"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the ground is too steep for the mesh: its rows would cross"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the ground is too steep for the mesh: a cell would turn inside out"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the first reading has no value to take: every apparent resistivity is at most 0 or out of range"),
        QT_TRANSLATE_NOOP("zel::texts::Refusals", "the later reading has no value to take: every apparent resistivity is at most 0 or out of range"),
    };
    for (const char* fixed : kFixed)
        if (std::strcmp(reason, fixed) == 0)
            return QCoreApplication::translate("zel::texts::Refusals", fixed);
    return QString::fromUtf8(reason);
}

namespace {

// Amounts of memory of one message: GB with a decimal when either is 1 GB or
// more, MB below; both figures in one unit.
std::pair<QString, QString> memoryAmounts(std::size_t needed, std::size_t available)
{
    const bool gigabytes = std::max(needed, available) >= 1'000'000'000;
    auto amount = [gigabytes](std::size_t bytes) {
        return gigabytes ? tr("%1 ГБ").arg(numberLocale().toString(double(bytes) / 1e9, 'f', 1))
                         : tr("%1 МБ").arg(numberLocale().toString(double(bytes) / 1e6, 'f', 0));
    };
    return {amount(needed), amount(available)};
}

} // namespace

QString inversionNeedsMemory(std::size_t needed, std::size_t available)
{
    const auto [amountNeeded, amountFree] = memoryAmounts(needed, available);
    if (needed == 0)
        return tr("для этого профиля не хватило памяти, свободно %1").arg(amountFree);
    return tr("для этого профиля нужно около %1 памяти, свободно %2").arg(amountNeeded, amountFree);
}
QString surveyNeedsMemory(std::size_t needed, std::size_t available)
{
    const auto [amountNeeded, amountFree] = memoryAmounts(needed, available);
    if (needed == 0)
        return tr("для модели съёмки не хватило памяти, свободно %1").arg(amountFree);
    return tr("для модели съёмки нужно около %1 памяти, свободно %2").arg(amountNeeded, amountFree);
}
QString topographyGap(const TopographyGap& g)
{
    auto number = [](double v) { return QString::number(v, 'g', 10); };
    const QString places = g.from == g.to ? number(g.from) : QStringLiteral("%1–%2").arg(number(g.from), number(g.to));
    if (g.kind == TopographyGap::Kind::Between)
        return tr("у электродов %1 нет своей высоты: они взяты на прямой между электродами %2 и %3")
            .arg(places, number(g.before), number(g.after));
    if (g.byElectrode)
        return tr("рельеф не доходит до конца линии: электроды %1 взяты на ровной земле высотой %2 м")
            .arg(places, number(g.height));
    return tr("рельеф не доходит до конца линии: x от %1 до %2 м взят ровным на высоте %3 м")
        .arg(number(g.from), number(g.to), number(g.height));
}
QString stopInversionAndClose() { return tr("Идёт инверсия. Остановить её и закрыть программу?"); }

QString filesWritten(const QStringList& paths)
{
    return tr("Профилей в данных несколько: записан файл на каждый профиль.") + QStringLiteral("\n\n")
        + paths.join(QLatin1Char('\n'));
}

QString modelFilesWritten(const QStringList& paths)
{
    return tr("Модель записана: %1").arg(paths.join(QStringLiteral(", ")));
}

QString profileGraphTitle() { return tr("ZEL-TERRAVOX: профиль"); }
QString pseudosectionTitle() { return tr("ZEL-TERRAVOX: псевдоразрез"); }
QString logarithmicAxis() { return tr("Логарифмическая ось"); }
QString allRecords() { return tr("Все измерения"); }
QString allProfiles() { return tr("Все профили"); }
QString saveImage() { return tr("Save image..."); }

QString sequenceTitle() { return tr("Генератор таблицы электродов"); }

QString sequenceField(int field)
{
    switch (field) {
    case 0: return tr("Установка:");
    case 1: return tr("Электродов на линии:");
    case 2: return tr("Номер первого электрода:");
    default: return tr("Каналов:");
    }
}

QString sequenceCount(qsizetype entries) { return tr("Записей в таблице: %1").arg(entries); }

QString sequenceValueNeeded(const QString& field, int low, int high)
{
    return tr("%1 нужно целое число от %2 до %3.").arg(field).arg(low).arg(high);
}

QString sequenceSaved(const QString& path) { return tr("Таблица записана в файл %1").arg(path); }

QString sequenceUploadQuestion(qsizetype entries)
{
    return tr("Записать в станцию таблицу из %1 записей?").arg(entries);
}

QString surveySettingProblem(const QString& file, const QString& key, const QString& value,
                             std::optional<std::pair<double, double>> range)
{
    const QString needed = range ? tr("нужно число от %1 до %2")
                                       .arg(QString::number(range->first, 'g', 10), QString::number(range->second, 'g', 10))
                                 : tr("нужно consecutive или first");
    return withArguments(tr("%1: неверное значение [Survey] %2=%3: %4"), {file, key, value, needed});
}

QString defaultSpacingUsed(double spacing)
{
    return tr("расстояние между электродами %1 м: значение по умолчанию, для этого чтения не задано")
        .arg(numberLocale().toString(spacing, 'g', 6));
}

QString surveyDefaultUsed() { return tr("до сохранения верного значения взято значение по умолчанию"); }

QString readingKept(const QString& path) { return tr("Чтение сохранено: %1").arg(path); }

QString readingNotKept(const QString& reason)
{
    return tr("Чтение не удалось сохранить в папку чтений (%1); сохраните его командой Save File.").arg(reason);
}

QString readingNotKeptByTool(const QString& reason)
{
    return tr("Чтение не удалось сохранить в папку чтений (%1).").arg(reason);
}

QString recentReadings() { return tr("Recent readings"); }
QString openReadingsFolder() { return tr("Open readings folder"); }
QString noReadingsYet() { return tr("(no readings kept yet)"); }

QString helpLink() { return tr("<a href=\"help\">Справка</a>"); }

QString receivedProgress(qint64 arrived, qint64 expected)
{
    return tr("Принято %1 из %2 байт").arg(arrived).arg(expected);
}

QString sentProgress(qint64 sent, qint64 total) { return tr("Передано %1 из %2 байт").arg(sent).arg(total); }

QString dialogueRunning() { return tr("Идёт обмен со станцией: дождитесь его окончания"); }
QString stopCommand() { return tr("Стоп"); }
QString exclusionsBadLine(const QString& file, int line)
{
    return tr("%1, строка %2: не номер измерения и канал этих данных; исключения из файла не применены.")
        .arg(file)
        .arg(line);
}

QString settingsNotWritten(const QString& file)
{
    return tr("Настройки не сохраняются: файл %1 недоступен для записи. Выбранные порт, язык и геометрия "
              "действуют до закрытия программы.")
        .arg(file);
}
QString stopAndClose() { return tr("Идёт обмен со станцией. Остановить его и закрыть программу?"); }

} // namespace zel::texts
