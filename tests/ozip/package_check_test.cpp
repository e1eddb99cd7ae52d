// `ozip check` on packages made in a scratch folder: a clean one, and one per kind of mistake a
// distributor makes, each of which must be found and named.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>

#include "package_check.h"
#include "support/scratch.h"
#include "unzip/zip_builder.h"

namespace {

using Files = std::map<std::string, std::string>; // file name -> bytes

std::string Zip(const std::vector<ziptest::Member>& members) {
    ziptest::Archive archive;
    archive.members = members;
    const ziptest::Bytes bytes = archive.Build();
    return std::string(bytes.begin(), bytes.end());
}

ziptest::Member Text(const std::string& name, const std::string& text) {
    return ziptest::Deflated(name, ziptest::ToBytes(text));
}

const std::string kSettings =
    "[ALL]\r\n"
    "softname=Zelvik\r\n"
    "company=Vodni dilna\r\n"
    "sversion=2\r\n"
    "srelease=4\r\n"
    "icons=1\r\n"
    "progreg=Zelvik\r\n"
    "regdir=Zelvik\r\n"
    "idn=ZelvikSetup\r\n"
    "progname=zelvik.exe\r\n"
    "BitBtn4_Caption=Instalovat\r\n"
    "\r\n"
    "[ALL.Memo2_Lines]\r\n"
    "Count=1\r\n"
    "Item0=V\xEDtejte\r\n"; // 1250

Files CleanPackage() {
    return {{"setup.exe", "the program"},
            {"setup.ini", kSettings},
            {"license.txt", "Licen\xE8n\xED podm\xEDnky\r\n"}, // 1250
            {"short.txt",
             "zelvik.exe;;Zelvik;\r\ndoc\\manual.txt;\\Dokumentace;Manual;\r\n"
             "doc;;Dokumenty;\r\nsetup.exe;;Odinstalovat;\r\n"},
            {"orvoinst.zip",
             Zip({Text("zelvik.exe", "MZ program"), Text("doc/manual.txt", "how to use it")})},
            {"all.zip", Zip({Text("doc/manual.txt", "how to use it, updated")})}};
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct Mistake {
    const char* name;
    std::function<void(Files&)> make;
    int exit_code;
    std::vector<std::string> lines; // each must begin one of the report's lines
};

void PrintTo(const Mistake& mistake, std::ostream* out) {
    *out << mistake.name;
}

const Mistake kMistakes[] = {
    {"MissingValue",
     [](Files& f) { f["setup.ini"] = Replaced(kSettings, "idn=ZelvikSetup", "idn="); },
     2,
     {"error: setup.ini:9: idn is missing"}},
    {"FolderName",
     [](Files& f) { f["setup.ini"] = Replaced(kSettings, "regdir=Zelvik", "regdir=..\\Zelvik"); },
     2,
     {"error: setup.ini:8: regdir=..\\Zelvik cannot be a name on disk (only dots)"}},
    {"NameChangesOnDisk",
     [](Files& f) {
         f["setup.ini"] = Replaced(kSettings, "company=Vodni dilna", "company=Dilna s.r.o.");
     },
     1,
     {"warning: setup.ini:3: company=Dilna s.r.o. becomes the folder Dilna s.r.o on disk"}},
    {"ProgramNotInArchive",
     [](Files& f) { f["setup.ini"] = Replaced(kSettings, "zelvik.exe", "bin\\zelvik.exe"); },
     1,
     {"warning: setup.ini:10: progname=bin\\zelvik.exe names no member"}},
    {"OwnTextTypo",
     [](Files& f) { f["setup.ini"] = Replaced(kSettings, "BitBtn4_Caption", "Msg_RunFailled"); },
     1,
     {"warning: setup.ini:11: Msg_RunFailled names no text"}},
    {"DamagedMembers",
     [](Files& f) {
         // A wrong CRC and, after it, a directory entry sharing another member's data: the
         // check goes on past the first failure.
         ziptest::Member bad = Text("bad.txt", "damaged");
         bad.crc = 1;
         ziptest::Member first = ziptest::Stored("one.txt", ziptest::ToBytes("same"));
         ziptest::Member second = ziptest::Stored("two.txt", ziptest::ToBytes("same"));
         second.central_offset = 0;
         f["all.zip"] = Zip({first, bad, second});
     },
     2,
     {"error: all.zip:bad.txt: CRC-Error!", "error: all.zip:two.txt: "}},
    {"UnsafeAndDuplicateNames",
     [](Files& f) {
         f["all.zip"] =
             Zip({Text("../outside.txt", "x"), Text("Read.me", "1"), Text("READ.ME", "2")});
     },
     2,
     {"error: all.zip:.." + scratch::kSep + "outside.txt: ",
      "warning: all.zip:READ.ME: a second member"}},
    {"BrokenShortcutLines",
     [](Files& f) {
         f["short.txt"] =
             "zelvik.exe;;Zelvik;\r\nzelvik.exe;..;Nahoru;\r\n"
             "doc\\missing.txt;;Chybi;\r\n\r\ndoc\\manual.txt;\\Dokumentace.;Manual\r\n";
     },
     1,
     {"warning: short.txt:2: ", "warning: short.txt:3: the target doc\\missing.txt",
      "warning: short.txt:5: made as doc\\manual.txt;\\Dokumentace;"}},
    {"PathTooLong",
     [](Files& f) {
         f["orvoinst.zip"] =
             Zip({Text("zelvik.exe", "MZ"), Text(std::string(240, 'n') + ".txt", "x")});
     },
     2,
     {"error: orvoinst.zip:nnnn"}},
    {"StoredTextTypo",
     [](Files& f) { f["setup.ini"] = Replaced(kSettings, "BitBtn4_", "BitBtn44_"); },
     1,
     {"warning: setup.ini:11: BitBtn44_Caption"}},
    {"Utf8WithoutMark",
     [](Files& f) { f["license.txt"] = "\r\nLicen\xC4\x8Dn\xC3\xAD\r\n"; },
     1,
     {"warning: license.txt:2: UTF-8 text without the byte-order mark"}},
    {"Utf8SettingsBeyond1250",
     [](Files& f) {
         f["setup.ini"] = "\xEF\xBB\xBF" + Replaced(kSettings, "Instalovat", "\xD0\x96");
     },
     1,
     {"warning: setup.ini:11: holds characters outside code page 1250"}},
};

class PackageCheckTest : public ::testing::TestWithParam<Mistake> {
  protected:
    ozip::PackageReport Check(const Files& files) {
        for (const auto& [name, bytes] : files) scratch::WriteFile(folder_.Path(name), bytes);
        return ozip::CheckPackage(folder_.Path(), unzip::EngineOptions());
    }
    scratch::Folder folder_;
};

std::string AllLines(const ozip::PackageReport& report) {
    std::string all;
    for (const ozip::Finding& finding : report.findings) all += ozip::FindingLine(finding) + "\n";
    return all;
}

TEST(PackageCheck, CleanPackageHasNoProblems) {
    scratch::Folder folder;
    for (const auto& [name, bytes] : CleanPackage()) scratch::WriteFile(folder.Path(name), bytes);
    const ozip::PackageReport report = ozip::CheckPackage(folder.Path(), unzip::EngineOptions());
    EXPECT_EQ(report.ExitCode(), 0) << AllLines(report);
    EXPECT_NE(AllLines(report).find("note: all.zip:doc"), std::string::npos) << AllLines(report);
}

TEST_P(PackageCheckTest, FindsAndNamesTheMistake) {
    Files files = CleanPackage();
    GetParam().make(files);
    const ozip::PackageReport report = Check(files);
    const std::string all = AllLines(report);
    EXPECT_EQ(report.ExitCode(), GetParam().exit_code) << all;
    for (const std::string& line : GetParam().lines)
        EXPECT_NE(("\n" + all).find("\n" + line), std::string::npos) << line << "\nin:\n" << all;
}

INSTANTIATE_TEST_SUITE_P(Packages, PackageCheckTest, ::testing::ValuesIn(kMistakes),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
