#include "results/code_page_1254.h"
#include "results/record_files.h"
#include "results/record_text.h"
#include "results/result_list.h"
#include "results/scale_setups.h"
#include "results/text_file.h"
#include "results/tps_text.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kanat {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t pos; (pos = text.find(separator, start)) != std::string::npos; start = pos + 1)
        parts.push_back(text.substr(start, pos - start));
    parts.push_back(text.substr(start));
    return parts;
}

TEST(CodePage1254, WritesTurkishLettersAsSingleBytes) {
    EXPECT_EQ(toCodePage1254("Açı"), "A\xE7\xFD");
    EXPECT_EQ(toCodePage1254("İndex"), "\xDDndex");
    EXPECT_EQ(toCodePage1254("ĞğŞşÖöÜü"), "\xD0\xF0\xDE\xFE\xD6\xF6\xDC\xFC");
    EXPECT_EQ(toCodePage1254("€"), "\x80");
    EXPECT_EQ(toCodePage1254("plain;1.5\t\r\n"), "plain;1.5\t\r\n");
}

TEST(CodePage1254, ACharacterItCannotHoldBecomesAQuestionMark) {
    EXPECT_EQ(toCodePage1254("kanat_翅.jpg"), "kanat_?.jpg");
    EXPECT_EQ(toCodePage1254("Ωmega 🐝"), "?mega ?");
    EXPECT_EQ(toCodePage1254("bad\xFF\xC3"), "bad??");
}

TEST(CodePage1254, TakesUtf8AsItIsAndAnyOtherTextAsTheCodePage) {
    EXPECT_EQ(asUtf8("kanat-çığ.png"), "kanat-çığ.png");
    EXPECT_EQ(asUtf8(toCodePage1254("kanat-çığ.png")), "kanat-çığ.png");
    // the window's lines and kanat-hesapla's appended after them, in one 12.tps
    EXPECT_EQ(asUtf8(toCodePage1254("IMAGE=şeker.png\r\n") + "IMAGE=ığdır.png\nID=2"),
              "IMAGE=şeker.png\r\nIMAGE=ığdır.png\nID=2");
    EXPECT_TRUE(isUtf8("plain;1.5\r\n"));
    EXPECT_FALSE(isUtf8("\xC3"));     // cut short
    EXPECT_FALSE(isUtf8("\xC3\x28")); // not followed by a continuation byte
}

TEST(CodePage1254, ReadsBackWhatItWrote) {
    const std::string text = "Koordinat , Açı, Oran, İndex, Uzunluk ve Renk Ölçüm sonuçları";
    EXPECT_EQ(fromCodePage1254(toCodePage1254(text)), text);
}

MeasurementRecord sampleRecord() {
    MeasurementRecord record;
    record.savedImageName = "kanat1.jpg";
    for (std::size_t i = 0; i < record.slotValues.size(); ++i) record.slotValues[i] = std::to_string(i + 1);
    record.closingField = "-1     ";
    return record;
}

TEST(RecordLine, HoldsTheNameTheSlotsAndTheClosingFieldInOneLine) {
    const std::string line = recordLine(sampleRecord());
    ASSERT_EQ(line.substr(line.size() - 2), "\r\n");
    const auto fields = split(line.substr(0, line.size() - 2), '\t');
    ASSERT_EQ(fields.size(), 118u);
    EXPECT_EQ(fields[0], "kanat1.jpg");
    EXPECT_EQ(fields[1], "1");
    EXPECT_EQ(fields[116], "116");
    EXPECT_EQ(fields[117], "-1     ");
}

TEST(RecordLine, ANeverWrittenRecordHasEmptyFieldsAndSevenBlanks) {
    const std::string line = recordLine(MeasurementRecord{});
    EXPECT_EQ(line, std::string(117, '\t') + "       \r\n");
}

TEST(RecordLine, ControlCharactersInTheImageNameCannotSplitTheRecord) {
    MeasurementRecord record = sampleRecord();
    record.savedImageName = "a\tb\rc\nd.jpg";
    const std::string line = recordLine(record);
    EXPECT_EQ(line.rfind("a b c d.jpg\t", 0), 0u);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 117);
}

TEST(ResultBlock, EndsEveryLineWithTabAndCrLf) {
    EXPECT_EQ(resultBlock({"10;238", "Açı(1-2-5);90.046"}), "10;238\t\r\nAçı(1-2-5);90.046\t\r\n");
    EXPECT_EQ(resultBlock({}), "");
}

TEST(ResultLines, LabelsMeasurementsAndLeavesColoursBare) {
    CalculationValues values;
    values.fill("0.75");
    const auto lines = resultLines(values);
    EXPECT_EQ(lines[72], "Cubital index;0.75");
    EXPECT_EQ(lines[99], "0.75");
    EXPECT_EQ(coordinateLine("10", "238"), "10;238");
}

class FileWriting : public ::testing::Test {
protected:
    void SetUp() override { folder = test::makeTemporaryFolder(); }
    void TearDown() override {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder);
    }
    std::string folder;
};

TEST_F(FileWriting, AppendingCreatesTheFileAndKeepsEarlierLines) {
    const std::string path = folder + "/12.txt";
    ASSERT_TRUE(appendWhole(path, "first\r\n").ok());
    ASSERT_TRUE(appendWhole(path, "second\r\n").ok());
    EXPECT_EQ(test::readFile(path), "first\r\nsecond\r\n");
}

TEST_F(FileWriting, ARecordStartsOnItsOwnLineAfterALastLineWithoutLineEnd) {
    const std::string path = folder + "/12.txt";
    std::ofstream(path, std::ios::binary) << "a\r\nabc";
    ASSERT_TRUE(appendWhole(path, "next\r\n").ok());
    ASSERT_TRUE(appendWhole(path, "last\r\n").ok());
    EXPECT_EQ(test::readFile(path), "a\r\nabc\r\nnext\r\nlast\r\n");
}

constexpr int perProcess = 400;

#ifdef _WIN32
// Windows has no fork: the writers are this test program started again, with only the case
// below and the file to append to in KANAT_APPEND_TO.
TEST(AppendingWriter, AppendsItsRecordsWhenStartedAsOne) {
    const wchar_t* path = _wgetenv(L"KANAT_APPEND_TO");
    if (!path) GTEST_SKIP() << "a writer process of FileWriting.TwoProgramsAppendingAtOnceNeverTearALine";
    const std::u8string utf8 = std::filesystem::path(path).u8string();
    const std::string record = recordLine(sampleRecord());
    for (int i = 0; i < perProcess; ++i) ASSERT_TRUE(appendWhole(std::string(utf8.begin(), utf8.end()), record).ok());
}

TEST_F(FileWriting, TwoProgramsAppendingAtOnceNeverTearALine) {
    const std::string path = folder + "/12.txt";
    const std::string record = recordLine(sampleRecord());
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    SetEnvironmentVariableW(L"KANAT_APPEND_TO", std::filesystem::path(std::u8string(path.begin(), path.end())).c_str());
    PROCESS_INFORMATION writers[2]{};
    for (PROCESS_INFORMATION& writer : writers) {
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=AppendingWriter.*";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(
            CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &writer));
    }
    SetEnvironmentVariableW(L"KANAT_APPEND_TO", nullptr);
    for (PROCESS_INFORMATION& writer : writers) {
        WaitForSingleObject(writer.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(writer.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(writer.hThread);
        CloseHandle(writer.hProcess);
    }
#else
TEST_F(FileWriting, TwoProgramsAppendingAtOnceNeverTearALine) {
    const std::string path = folder + "/12.txt";
    const std::string record = recordLine(sampleRecord());
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        if (child == 0) {
            for (int i = 0; i < perProcess; ++i)
                if (!appendWhole(path, record).ok()) _exit(1);
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
#endif
    const std::string content = test::readFile(path);
    const auto lines = split(content, '\n');
    ASSERT_EQ(lines.size(), 2u * perProcess + 1);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) ASSERT_EQ(lines[i] + "\n", record) << "line " << i;
}

TEST_F(FileWriting, ReplacingWritesTheWholeTextAndKeepsTheOldOneOnFailure) {
    const std::string path = folder + "/out.txt";
    ASSERT_TRUE(replaceWhole(path, "old\r\n").ok());
    ASSERT_TRUE(replaceWhole(path, "new\t\r\n\r\n").ok());
    EXPECT_EQ(test::readFile(path), "new\t\r\n\r\n");
    EXPECT_FALSE(replaceWhole(folder + "/missing/out.txt", "x").ok());
    EXPECT_EQ(std::filesystem::directory_iterator(folder)->path().filename(), "out.txt")
        << "no temporary file is left behind";
}

// Root writes anywhere, and on Windows a folder's rights are no mode bits a test can take away.
bool writesAnywhere() {
#ifdef _WIN32
    return true;
#else
    return geteuid() == 0;
#endif
}

TEST_F(FileWriting, AFolderThatCannotBeWrittenIsReportedWithItsReason) {
    if (writesAnywhere()) {
        // A missing folder still fails the same way.
        const WriteResult result = appendWhole(folder + "/none/12.txt", "x");
        EXPECT_FALSE(result.ok());
        EXPECT_EQ(describeWriteError(result.error), "klasör bulunamadı");
        return;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const WriteResult result = appendWhole(folder + "/12.txt", "x");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(describeWriteError(result.error), "yazma izni yok");
}

TEST_F(FileWriting, RecordsOfAProgramInASystemFolderGoToTheUsersFolderWhoeverRunsIt) {
    const std::string program = folder + "/opt/kanat/bin", user = folder + "/home/.local/share/kanat";
    std::filesystem::create_directories(program);
    const std::vector<std::string> system{folder + "/usr", folder + "/opt"};
    struct Case {
        const char* name;
        std::string folder;
        bool system;
    };
    const Case cases[] = {
        {"installed under /opt", program, true},
        {"a link to a folder under /usr", folder + "/link", true},
        {"a build folder", folder + "/build", false},
        {"a folder named like a system one elsewhere", folder + "/build/usr", false},
#ifndef _WIN32
        {"/usr/bin itself", "/usr/bin", true},
#endif
        {"a folder that is not there", folder + "/gone", true},
    };
    std::filesystem::create_directories(folder + "/build/usr");
    std::filesystem::create_directories(folder + "/usr/bin");
#ifdef _WIN32
    // Links to folders need a privilege on Windows: a junction is what users meet there, made by
    // Windows' own mklink.
    const std::string junction = "mklink /J \"" + folder + "/link\" \"" + folder + "/usr/bin\" >NUL";
    std::string command = junction;
    std::replace(command.begin(), command.end(), '/', '\\');
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
#else
    std::filesystem::create_directory_symlink(folder + "/usr/bin", folder + "/link");
#endif
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isSystemFolder(c.folder, c.folder == "/usr/bin" ? defaultSystemFolders() : system), c.system);
    }
    // Root may write anywhere: the records still go to the user's data folder, said so.
    const RecordAppend appended = appendRecordLine({program, user, system}, "record\r\n");
    ASSERT_TRUE(appended.ok());
    EXPECT_TRUE(appended.inUserFolder && appended.programFolderIsSystem);
    EXPECT_EQ(appended.file, user + "/12.txt");
    EXPECT_FALSE(std::filesystem::exists(program + "/12.txt"));
    EXPECT_EQ(currentTpsFile({program, user, system}), user + "/12.tps");
    const RecordAppend beside = appendRecordLine({folder + "/build", user, system}, "record\r\n");
    EXPECT_EQ(beside.file, folder + "/build/12.txt");
    EXPECT_FALSE(beside.inUserFolder);
}

TEST_F(FileWriting, AFullDiskIsSaidInWordsAndLeavesNothingBehind) {
#ifdef _WIN32
    // Windows' own codes for a full disk, and the others a save meets, read as on Linux.
    struct Code {
        DWORD code;
        const char* words;
    };
    const Code codes[] = {
        {ERROR_DISK_FULL, "diskte yer kalmadı"},
        {ERROR_HANDLE_DISK_FULL, "diskte yer kalmadı"},
        {ERROR_ACCESS_DENIED, "yazma izni yok"},
        {ERROR_WRITE_PROTECT, "salt okunur bir yerde"},
        {ERROR_PATH_NOT_FOUND, "klasör bulunamadı"},
        {ERROR_FILENAME_EXCED_RANGE, "dosya adı çok uzun"},
        {ERROR_SHARING_VIOLATION, "dosya başka bir programda açık"},
        {ERROR_INVALID_NAME, "dosya adı geçersiz"},
        {ERROR_CRC, "yazılamadı (Windows hatası 23)"},
    };
    for (const Code& c : codes) EXPECT_EQ(describeWriteError(errorNumberOfWindowsError(c.code)), c.words) << c.code;
    // Wine shows this machine's /dev/full as Z:\dev\full; Windows itself has no full disk to hand.
    const FARPROC wineVersion = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    if (!wineVersion) GTEST_SKIP() << "no full device outside Wine";
    const std::string full = "Z:/dev/full";
#else
    const std::string full = "/dev/full";
#endif
    const WriteResult result = appendWhole(full, recordLine(sampleRecord()));
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(describeWriteError(result.error), "diskte yer kalmadı");
}

TEST_F(FileWriting, AFileNamedInTurkishIsWrittenUnderThatName) {
    const std::string name = "kanat-çığ-ÖŞÜ.txt", path = folder + "/" + name;
    ASSERT_TRUE(appendWhole(path, "a\r\n").ok());
    ASSERT_TRUE(replaceWhole(folder + "/sonuç.txt", "b\r\n").ok());
    EXPECT_EQ(countLines(path), 1);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::u8string(folder.begin(), folder.end()))) {
        const std::u8string file = entry.path().filename().u8string();
        names.emplace_back(file.begin(), file.end());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{name, "sonuç.txt"}));
}

#ifdef _WIN32
TEST_F(FileWriting, ARecordFileAnotherProgramHoldsOpenIsSaidSo) {
    // A spreadsheet that has 12.txt open shares it with nobody.
    const std::string path = folder + "/12.txt";
    const HANDLE held = CreateFileW(std::filesystem::path(std::u8string(path.begin(), path.end())).c_str(),
                                    GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const WriteResult result = appendWhole(path, "x\r\n");
    CloseHandle(held);
    EXPECT_EQ(describeWriteError(result.error), "dosya başka bir programda açık");
    EXPECT_TRUE(appendWhole(path, "x\r\n").ok()) << "closed, it takes the record";
}

std::string environmentFolder(const wchar_t* name) {
    const wchar_t* value = _wgetenv(name);
    const std::u8string text = value ? std::filesystem::path(value).generic_u8string() : std::u8string();
    return std::string(text.begin(), text.end());
}

TEST_F(FileWriting, ProgramFilesAndWindowsItselfAreSystemFoldersInAnyLetterCase) {
    const std::string programFiles = environmentFolder(L"ProgramFiles"), windows = environmentFolder(L"SystemRoot");
    ASSERT_FALSE(programFiles.empty());
    ASSERT_FALSE(windows.empty());
    const std::vector<std::string> system = defaultSystemFolders();
    for (const std::string& expected : {programFiles, windows}) {
        const bool listed =
            std::any_of(system.begin(), system.end(), [&](const std::string& f) { return f == expected; });
        EXPECT_TRUE(listed) << expected;
    }
    std::string shouted = programFiles + "/Kanat Morfometrisi";
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), [](char c) { return std::toupper(c); });
    EXPECT_TRUE(isSystemFolder(programFiles + "/Kanat Morfometrisi", system));
    EXPECT_TRUE(isSystemFolder(shouted, system));
    EXPECT_TRUE(isSystemFolder(windows + "/System32", system));
    const std::string portable = folder + "/kanat-portable";
    std::filesystem::create_directory(portable);
    EXPECT_FALSE(isSystemFolder(portable, system)) << "an unpacked .zip keeps its records beside it";
    EXPECT_TRUE(std::filesystem::is_empty(portable)) << "the test file made to find out is gone";
}
#endif

TEST_F(FileWriting, ADirectoryInPlaceOfTheFileIsRefused) {
    std::filesystem::create_directory(folder + "/12.txt");
    const WriteResult result = appendWhole(folder + "/12.txt", "x");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(describeWriteError(result.error), "bu bir klasör");
}

} // namespace
} // namespace kanat

namespace kanat {
namespace {

TEST(TpsText, WritesOneSpecimenWithMissingLandmarksAsMinusOne) {
    std::array<std::optional<TpsPoint>, 18> points;
    points[0] = TpsPoint{50, 240};
    points[1] = TpsPoint{12.345678, -0.5};
    const std::string text = tpsSpecimen(points, "kanat 1.png", 7, 0.010526316);
    EXPECT_EQ(text.rfind("LM=18\r\n50.00000 240.00000\r\n12.34568 -0.50000\r\n-1 -1\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\nIMAGE=kanat 1.png\r\nID=7\r\nSCALE=0.010526316\r\n"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 22);
}

TEST(TpsText, LeavesOutAnEmptyImageNameAndKeepsANameOnOneLine) {
    const std::array<std::optional<TpsPoint>, 18> none;
    EXPECT_EQ(tpsSpecimen(none, "", 1, 0.5).find("IMAGE="), std::string::npos);
    EXPECT_NE(tpsSpecimen(none, "a\nb", 1, 0.5).find("IMAGE=a b\r\n"), std::string::npos);
}

} // namespace
} // namespace kanat

namespace kanat {
namespace {

TEST(ScaleSetups, ATypedResolutionIsANumberAboveZeroInPixelsPerMmOrDpi) {
    struct Case {
        const char* typed;
        ResolutionUnit unit;
        std::optional<double> pixelsPerMm;
    };
    const Case cases[] = {
        {"312,4", ResolutionUnit::PixelsPerMm, 312.4}, {"312.4", ResolutionUnit::PixelsPerMm, 312.4},
        {" 95 ", ResolutionUnit::PixelsPerMm, 95.0},   {"2400", ResolutionUnit::DotsPerInch, 2400 / 25.4},
        {"0", ResolutionUnit::PixelsPerMm, {}},        {"-5", ResolutionUnit::PixelsPerMm, {}},
        {"on", ResolutionUnit::DotsPerInch, {}},       {"12 mm", ResolutionUnit::PixelsPerMm, {}},
        {"", ResolutionUnit::PixelsPerMm, {}},         {"inf", ResolutionUnit::PixelsPerMm, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto read = typedPixelsPerMm(c.typed, c.unit);
        ASSERT_EQ(read.has_value(), c.pixelsPerMm.has_value());
        if (read) {
            EXPECT_DOUBLE_EQ(*read, *c.pixelsPerMm);
        }
    }
}

TEST_F(FileWriting, SetUpsAreKeptBesideTheDefaultWhichStaysAndIsUsedUntilAnotherIsChosen) {
    const std::string path = folder + "/config/kanat/olcekler.txt";
    ScaleSetups setups = ScaleSetups::read(path);
    EXPECT_TRUE(setups.activeIsDefault());
    EXPECT_EQ(setups.active().pixelsPerMm, 95);
    setups.save({"Stereo mikroskop 2x", 312.4});
    setups.save({"Tarayıcı 2400 dpi", 2400 / 25.4});
    EXPECT_EQ(setups.active().name, "Tarayıcı 2400 dpi") << "a set-up saved is the one in use";
    EXPECT_TRUE(setups.activate("Stereo mikroskop 2x"));
    EXPECT_FALSE(setups.activate("Yok böyle bir kurulum"));
    EXPECT_FALSE(setups.remove(defaultSetupName));
    ASSERT_EQ(setups.write(path), "");
    const ScaleSetups read = ScaleSetups::read(path);
    ASSERT_EQ(read.saved().size(), 2u);
    EXPECT_EQ(read.active().name, "Stereo mikroskop 2x");
    EXPECT_EQ(read.find("Tarayıcı 2400 dpi")->pixelsPerMm, 2400 / 25.4) << "read back to the last digit";
    ScaleSetups removed = read;
    EXPECT_TRUE(removed.remove("Stereo mikroskop 2x"));
    EXPECT_TRUE(removed.activeIsDefault()) << "the one in use removed: the default again";
    std::ofstream(path, std::ios::trunc) << "etkin\tkayıp\n-3\tbozuk\nbir satır\n12\t\n";
    EXPECT_TRUE(ScaleSetups::read(path).activeIsDefault());
    EXPECT_TRUE(ScaleSetups::read(path).saved().empty());
}

} // namespace
} // namespace kanat

#ifndef _WIN32
#include <iconv.h>

namespace kanat {
namespace {

// The code page's table is our own, so that Windows writes what Linux writes: it must be the C
// library's, byte for byte.
TEST(CodePage1254, EveryByteReadsAsTheCLibraryReadsIt) {
    iconv_t converter = iconv_open("UTF-8", "CP1254");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char out[8] = {};
        char* inPtr = &in;
        char* outPtr = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        const bool known = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
        const std::string expected = known ? std::string(out, sizeof out - outLeft) : "\xEF\xBF\xBD";
        EXPECT_EQ(fromCodePage1254(std::string(1, in)), expected) << "byte " << byte;
    }
    iconv_close(converter);
}

} // namespace
} // namespace kanat
#endif
