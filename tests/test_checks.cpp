// The data check on a small memory whose figures are worked out by hand:
// 10 mA and a = 1 m, so a Wenner array has k = 2π m and 100 mV give r = 10 Ω.
#include "Capture.h"
#include "TestDumps.h"

#include "data/DataFile.h"
#include "survey/Checks.h"
#include "survey/ErrorModel.h"
#include "survey/Exports.h"

#include "texts/Texts.h"

#include <QTemporaryDir>

#include <csignal>
#include <cstring>
#include <random>

#if defined(Q_OS_LINUX)
#include <sys/mount.h>
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

namespace {

// Channel 1 only (the others out of range): U = raw / 10^range mV.
zel::MeasurementRecord value(int a, int b, int m, int n, int raw, int range = 2)
{
    return zeltest::Record().mode(10).profile(1, 1).electrodes(a, b, m, n).current(5).u(1, raw, range).u(2, 0, 9).u(3, 0, 9).u(4, 0, 9);
}

// Index (from 1): 1-5 a Wenner level, 1000 mV at 3; 6-7 a repeat (10 and
// 11 Ω); 8-9 a reciprocal pair (10 and 10.2 Ω); 10 U = 0; 11 0.05 mV; 12 -50 mV.
std::vector<zel::MeasurementRecord> memory()
{
    std::vector<zel::MeasurementRecord> r;
    r.reserve(12);
    for (int a = 0; a < 5; ++a)
        r.push_back(a == 2 ? value(a, a + 3, a + 1, a + 2, 10000, 1) : value(a, a + 3, a + 1, a + 2, 10000));
    r.push_back(value(11, 10, 12, 13, 10000));  // dipole-dipole, k = 6π m
    r.push_back(value(11, 10, 12, 13, 11000));
    r.push_back(value(21, 20, 22, 23, 10000));
    r.push_back(value(22, 23, 21, 20, 10200));
    r.push_back(value(31, 30, 33, 34, 0));
    r.push_back(value(41, 40, 44, 45, 5));
    r.push_back(value(51, 50, 55, 56, -5000));
    return r;
}

const zel::SurveyGeometry kGeometry{1.0, 0.0, zel::ChannelGeometry::FirstOnly};

} // namespace

TEST(DataCheck, EachFlagAndEstimateOfAHandMadeMemory)
{
    const auto records = memory();
    const auto values = zel::surveyValues(records, kGeometry);
    ASSERT_EQ(values.size(), 12u);
    const auto checks = zel::checkValues(records, values, kGeometry.thresholds);
    // The spike's ratio to its neighbours is 10; a level's end beside it
    // sees the median of it and one plain value, (10 + 1) / 2 times the
    // plain one, and is flagged too, as the neighbours' median says.
    const char* flags[] = {"spike", "", "spike", "", "spike", "error", "error", "", "", "zero", "low-signal", "negative"};
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(zel::flagNames(checks[i].flags), flags[i]) << "index " << i + 1;
    // Repeat: r 10 and 11, sd 0.7071 of mean 10.5 is 6.734 %; reciprocal:
    // |10 - 10.2| / √2 / 10.1 is 1.400 %.
    for (const std::size_t i : {5u, 6u})
        EXPECT_NEAR(*checks[i].errorPercent, 100 * std::sqrt(0.5) / 10.5, 1e-9);
    for (const std::size_t i : {7u, 8u})
        EXPECT_NEAR(*checks[i].errorPercent, 100 * 0.2 / std::sqrt(2.0) / 10.1, 1e-9);
    EXPECT_FALSE(checks[0].errorPercent);
    const auto summary = zel::summarizeChecks(records, values, checks);
    ASSERT_EQ(summary.size(), 1u);
    EXPECT_EQ(summary[0].values, 12);
    EXPECT_EQ(summary[0].flagged, 8);
    EXPECT_EQ(summary[0].byFlag, (std::array<int, 6>{1, 1, 1, 3, 2, 0}));

    // Thresholds move the flags: a 1 % limit flags the reciprocal pair too.
    zel::CheckThresholds strict = kGeometry.thresholds;
    strict.maxError = 1;
    EXPECT_EQ(zel::checkValues(records, values, strict)[7].flags, unsigned(zel::FlagError));
}

// The .ohm file: the repeat as one datum of mean r with its error, the
// reciprocals with theirs, the rest with the default error; U = 0 left out,
// and so are excluded values and, on request, every flagged one.
TEST(DataCheck, InversionFilesCarryErrorsAndLeaveOutWhatWasExcluded)
{
    const auto records = memory();
    auto ohmLines = [&](const zel::ExportChoice& choice) {
        const auto files = zel::surveyExport(zel::SurveyFormat::Ohm, records, kGeometry, std::nullopt, "x.ohm", choice);
        QList<QByteArray> data;
        bool reading = false;
        for (const QByteArray& line : files.at(0).second.split('\n')) {
            if (line.startsWith("# a b m n")) {
                EXPECT_EQ(line.trimmed(), "# a b m n r u/mV i/mA k rhoa err");
                reading = true;
            } else if (reading && line.count(' ') == 9) {
                data << line.trimmed();
            }
        }
        return data;
    };
    const QList<QByteArray> all = ohmLines({});
    ASSERT_EQ(all.size(), 10);  // 12 values, the repeat merged, U = 0 left out
    EXPECT_TRUE(all[0].endsWith(" 0.03")) << all[0].toStdString();
    EXPECT_TRUE(all[5].contains(" 10.5 105.0 10.0 ")) << all[5].toStdString();
    EXPECT_TRUE(all[5].endsWith(" 0.0673435")) << all[5].toStdString();
    EXPECT_TRUE(all[6].endsWith(" 0.02")) << all[6].toStdString();  // 1.40 %, below the least error
    EXPECT_EQ(ohmLines({{{3, 1}, {12, 1}}, false, std::nullopt}).size(), 8);
    EXPECT_EQ(ohmLines({{}, true, std::nullopt}).size(), 4);  // the level's two plain values and the reciprocal pair
}

// The estimates of repeats and reciprocals mean the same (the relative error
// of one reading), judge signs, leave out readings of U = 0, and the .ohm
// file never gives a value less than the least error.
TEST(DataCheck, RepeatAndReciprocalEstimatesAndTheLeastError)
{
    struct Case {
        const char* what;
        int secondA, secondB, secondM, secondN;  // the second reading's electrodes
        int secondRaw;                           // its U, raw (100 for 1 mV)
        const char* flags;                       // of the first reading
        double errorPercent;                     // of the first; < 0: none
        const char* ohmError;                    // its err in the .ohm file
    };
    const Case cases[] = {
        {"repeat of 102 mV", 0, 3, 1, 2, 10200, "", 100 * std::sqrt(2.0) / 101, "0.02"},
        {"reciprocal of 102 mV", 1, 2, 0, 3, 10200, "", 100 * std::sqrt(2.0) / 101, "0.02"},
        {"equal repeat", 0, 3, 1, 2, 10000, "", 0, "0.02"},
        {"equal reciprocal", 2, 1, 3, 0, 10000, "", 0, "0.02"},
        {"reciprocal of U = 0", 1, 2, 0, 3, 0, "", -1, "0.03"},
        {"reciprocal of reversed polarity", 1, 2, 0, 3, -10000, "error", -1, "0.03"},
    };
    for (const Case& c : cases) {
        const std::vector<zel::MeasurementRecord> records = {
            value(0, 3, 1, 2, 10000), value(c.secondA, c.secondB, c.secondM, c.secondN, c.secondRaw)};
        const auto values = zel::surveyValues(records, kGeometry);
        const auto checks = zel::checkValues(records, values, kGeometry.thresholds);
        EXPECT_EQ(zel::flagNames(checks[0].flags), c.flags) << c.what;
        EXPECT_EQ(checks[0].errorPercent.has_value(), c.errorPercent >= 0) << c.what;
        if (c.errorPercent >= 0 && checks[0].errorPercent) {
            EXPECT_NEAR(*checks[0].errorPercent, c.errorPercent, 1e-9) << c.what;
        }
        const auto files = zel::surveyExport(zel::SurveyFormat::Ohm, records, kGeometry, std::nullopt, "x.ohm", {});
        const QList<QByteArray> lines = files.at(0).second.split('\n');
        const auto datum = std::find_if(lines.begin(), lines.end(), [](const QByteArray& l) { return l.count(' ') == 9; });
        ASSERT_NE(datum, lines.end()) << c.what;
        EXPECT_TRUE(datum->trimmed().endsWith(QByteArray(" ") + c.ohmError)) << c.what << ": " << datum->toStdString();
    }
}

// An export of several profiles writes all its files or none: one that
// cannot be written leaves every earlier file as it was, and no leftovers.
TEST(DataCheck, ExportOfSeveralProfilesWritesAllOrNothing)
{
    QTemporaryDir dir;
    std::vector<zel::MeasurementRecord> records = memory();
    for (int a = 0; a < 3; ++a)
        records.push_back(zeltest::Record().mode(10).profile(1, 2).electrodes(a, a + 3, a + 1, a + 2).current(5)
                              .u(1, 10000, 2).u(2, 0, 9).u(3, 0, 9).u(4, 0, 9));
    const auto files = zel::surveyExport(zel::SurveyFormat::Ohm, records, kGeometry, std::nullopt,
                                         dir.filePath("s.ohm"), {});
    ASSERT_EQ(files.size(), 2);
    zel::writeWholeFile(files[0].first, "old");
    QDir(dir.path()).mkdir(QFileInfo(files[1].first).fileName());  // a folder where the second goes
    EXPECT_THROW(zel::writeExportFiles(files), zel::ZelError);
    EXPECT_EQ(zel::readWholeFile(files[0].first), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 2);

    QDir(dir.path()).rmdir(QFileInfo(files[1].first).fileName());
    EXPECT_EQ(zel::writeExportFiles(files), QStringList({files[0].first, files[1].first}));
    EXPECT_EQ(zel::readWholeFile(files[1].first), files[1].second);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    // Readable by others as any file written, as the file replaced was.
    EXPECT_TRUE(QFileInfo(files[1].first).permissions().testFlag(QFileDevice::ReadOther));
    EXPECT_TRUE(QFileInfo(files[0].first).permissions().testFlag(QFileDevice::ReadOther));
}

#if defined(Q_OS_LINUX)
// Several files onto a disk that fills on the second: the earlier files stay
// as they were, nothing is left behind, and the message says the system's
// reason. A 64 KB tmpfs where the tests may mount one (as root), and a file
// size limit (the second file beyond it) everywhere.
TEST(DataCheck, ExportOntoAFullDiskSaysTheSystemsReason)
{
    QTemporaryDir dir;
    const QString place = dir.filePath("disk");
    QDir().mkpath(place);
    const bool tmpfs = ::mount("tmpfs", place.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0;
    const QList<std::pair<QString, QByteArray>> files = {{place + "/o_L1_F1.ohm", QByteArray(40000, '1')},
                                                        {place + "/o_L3_F1.ohm", QByteArray(tmpfs ? 40000 : 70000, '3')}};
    zel::writeWholeFile(files[0].first, "old");
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit = before;
    limit.rlim_cur = 50000;
    if (!tmpfs)
        setrlimit(RLIMIT_FSIZE, &limit);
    QString said;
    try {
        zel::writeExportFiles(files);
    } catch (const zel::ZelError& e) {
        said = zel::texts::errorText(e);
    }
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    const QString reason = QString::fromLocal8Bit(std::strerror(tmpfs ? ENOSPC : EFBIG));
    EXPECT_TRUE(said.contains("o_L3_F1.ohm") && said.contains(reason)) << said.toStdString();
    EXPECT_FALSE(said.contains("Unknown error")) << said.toStdString();
    EXPECT_EQ(zel::readWholeFile(files[0].first), "old");
    EXPECT_EQ(QDir(place).entryList(QDir::Files).size(), 1);
    if (tmpfs)
        ::umount(place.toLocal8Bit().constData());
}
#endif

// Exclusions live beside the data file: written, read back, and a file
// that does not match the data is refused whole with its line number.
TEST(DataCheck, ExclusionsFileRoundTripsAndAMismatchIsRefusedWhole)
{
    const zel::Exclusions e = {{3, 1}, {12, 4}};
    const QByteArray text = zel::exclusionsText(e);
    EXPECT_TRUE(text.startsWith("# ") && text.endsWith("3 1\r\n12 4\r\n")) << text.toStdString();
    EXPECT_EQ(zel::parseExclusions(text, 12).exclusions, e);
    EXPECT_EQ(zel::exclusionsFileOf("/a/b.zel"), "/a/b.zel.exclude");
    // Line ends of any editor, and a byte order mark, are read.
    for (const QByteArray& ends : {QByteArray("# x\r3 1\r12 4\r"), QByteArray("\xEF\xBB\xBF" "3 1\n12 4"),
                                   QByteArray("3 1\r\n\r\n12 4\r\n")})
        EXPECT_EQ(zel::parseExclusions(ends, 12).exclusions, e) << ends.toStdString();
    for (const auto& [bad, line] : {std::pair{QByteArray("# x\r\n3 1\r\n13 1\r\n"), 3}, {"3 5\n", 1}, {"3\n", 1},
                                    {"1 1\nthree 1\n", 2}, {"0 1\n", 1}, {QByteArray("3 1\n1\0 1\n", 8), 2}}) {
        const zel::ExclusionsRead read = zel::parseExclusions(bad, 12);
        EXPECT_EQ(read.badLine, line) << bad.toStdString();
        EXPECT_TRUE(read.exclusions.empty());
    }
}

// zeltool check: a summary per profile and a line per flagged value; the
// exclusions file beside the data is taken, or said and ignored when it does
// not match; thresholds that are not above 0 are refused.
TEST(DataCheck, ZeltoolCheckAndExportTakeThresholdsAndExclusions)
{
    QTemporaryDir dir;
    const QString data = dir.filePath("m.zel");
    zel::writeWholeFile(data, zeltest::dump(memory()));
    const QStringList first = {"check", "--channels", "first"};
    Captured c = run(first + QStringList{data});
    ASSERT_EQ(c.status, 0) << c.err.toStdString();
    const QList<QByteArray> lines = c.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1 + 8);
    EXPECT_EQ(lines[0].trimmed(), "L1 F1: 12 values, 8 flagged (zero 1, low-signal 1, negative 1, spike 3, error 2, wiring 0), "
                                  "median error 4.07 %");
    EXPECT_TRUE(lines[1].startsWith("1 ch1 L1 F1  a 0 b 3 m 1 n 2  rhoa 62.8319  err -  spike")) << lines[1].toStdString();

    zel::writeWholeFile(zel::exclusionsFileOf(data), zel::exclusionsText({{3, 1}}));
    c = run(first + QStringList{data});
    EXPECT_TRUE(c.out.contains("spike|excluded"));
    const QString ohm = dir.filePath("m.ohm");
    ASSERT_EQ(run({"export", "--format", "ohm", "--channels", "first", data, ohm}).status, 0);
    EXPECT_TRUE(zel::readWholeFile(ohm).contains("9# Number of data"));
    // An exclusions file beside the data that does not match it stops the
    // export, which would otherwise put every value in; unless it is ignored.
    zel::writeWholeFile(zel::exclusionsFileOf(data), "3 1\n99 1\n");
    c = run({"export", "--format", "ohm", "--channels", "first", data, ohm});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.err.contains("m.zel.exclude, ") && c.err.contains(" 2: ")) << c.err.toStdString();
    EXPECT_TRUE(zel::readWholeFile(ohm).contains("9# Number of data"));  // the earlier export stays
    c = run({"export", "--format", "ohm", "--channels", "first", "--ignore-exclusions", data, ohm});
    EXPECT_EQ(c.status, 0);
    EXPECT_TRUE(zel::readWholeFile(ohm).contains("10# Number of data"));
    EXPECT_EQ(run({"export", "--format", "ohm", "--exclude", zel::exclusionsFileOf(data), data, ohm}).status, 1);
    // Every value left out: the user is told how, not that there are no positions.
    zel::writeWholeFile(zel::exclusionsFileOf(data), "1 1\n2 1\n3 1\n4 1\n5 1\n8 1\n9 1\n");
    c = run({"export", "--format", "ohm", "--channels", "first", "--drop-flagged", data, ohm});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.err.contains("Все 11 значений с положениями электродов оставлены в стороне: исключено 7, отмечено проверкой 4"))
        << c.err.toStdString();

    for (const char* bad : {"0", "-1", "nan", "x"}) {
        c = run(first + QStringList{"--max-error", bad, data});
        EXPECT_EQ(c.status, 1) << bad;
        EXPECT_TRUE(c.err.contains("--max-error")) << c.err.toStdString();
    }
    c = run(first + QStringList{"--spike-factor", "1", data});
    EXPECT_EQ(c.status, 1);
    EXPECT_TRUE(c.err.contains("--spike-factor 1: a number from 1.01")) << c.err.toStdString();
}

// The error model: a and b of err = a + b·|R| come back within 20 % from
// pairs drawn from a known model with a few wild ones among them; a
// profile with ten reciprocal pairs gives its lone values the model's error
// in the .ohm file, one with nine keeps the default.
TEST(DataCheck, ErrorModelFromRepeatsAndReciprocals)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> decades(-2, 2);
    std::normal_distribution<double> gauss(0, 1);
    const double a = 0.002, b = 0.01;
    std::vector<zel::ErrorPair> pairs;
    for (int i = 0; i < 400; ++i) {
        const double r = std::pow(10.0, decades(random));
        const double sigma = a + b * r;
        const double r1 = r + sigma * gauss(random), r2 = r + sigma * gauss(random);
        pairs.push_back({(std::abs(r1) + std::abs(r2)) / 2, std::abs(std::abs(r1) - std::abs(r2))});
    }
    for (int i = 0; i < 8; ++i)  // a wire loose: 50 % apart
        pairs.push_back({double(1 + i), 0.5 * (1 + i)});
    const auto model = zel::fitErrorModel(pairs);
    ASSERT_TRUE(model);
    EXPECT_NEAR(model->a, a, 0.2 * a);
    EXPECT_NEAR(model->b, b, 0.2 * b);
    pairs.resize(zel::kErrorModelPairs - 1);
    EXPECT_FALSE(zel::fitErrorModel(pairs));

    for (const int reciprocals : {10, 9}) {
        std::vector<zel::MeasurementRecord> records;
        for (int i = 0; i < reciprocals; ++i) {
            const int e = 10 * i, raw = 1000 * (10 + i);  // 10 + i ohm
            records.push_back(value(e, e + 1, e + 2, e + 3, raw));
            records.push_back(value(e + 2, e + 3, e, e + 1, raw + 20 * (i % 3 + 1)));
        }
        records.push_back(value(100, 103, 101, 102, 2000));  // 2 ohm, no estimate of its own
        const auto values = zel::surveyValues(records, kGeometry);
        const auto checks = zel::checkValues(records, values, kGeometry.thresholds);
        const auto data = zel::inversionData(records, values, checks, {1, 1}, {});
        const auto fitted = zel::fitErrorModel(zel::errorPairs(records, values, {1, 1}));
        ASSERT_EQ(fitted.has_value(), reciprocals >= zel::kErrorModelPairs);
        if (fitted) {
            EXPECT_EQ(fitted->pairs, reciprocals);
            ASSERT_TRUE(data.back().errorPercent);
            EXPECT_DOUBLE_EQ(*data.back().errorPercent, fitted->percentAt(2));
        } else {
            EXPECT_FALSE(data.back().errorPercent);
        }
    }
}
