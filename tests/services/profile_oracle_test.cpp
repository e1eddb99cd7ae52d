// Windows itself is the oracle for the settings file: each case runs the same operations
// through GetPrivateProfileStringA / WritePrivateProfileStringA on one file and through
// SettingsFile on another, and compares what every read gives, whether every write succeeds,
// and the two files as the system's own reader sees them.
//
// The system writes the whole file back from what it parsed; SettingsFile edits only the
// lines it changes. So the bytes must be equal only when the file starts out in the layout
// the system writes itself (LayoutSurvivesRewrite); otherwise the files must still read alike.
//
// Behaviour on purpose not compared here (see settings_file_test.cpp): non-ASCII names, which
// Wine compares with regard to case; values with line breaks, which it writes as they are,
// adding lines to the file; read-only files, which Wine run as root writes; new section and
// key names with blanks around them, which Wine stores with their trailing blanks.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/error.h"
#include "services/settings_file.h"
#include "settings_test_support.h"

namespace services {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const char kDefault[] = "<default>";

struct Op {
    enum Kind { kRead, kWrite, kErase } kind;
    std::string section, key, value; // UTF-8
};

Op Read(std::string section, std::string key) {
    return {Op::kRead, std::move(section), std::move(key), ""};
}
Op Write(std::string section, std::string key, std::string value) {
    return {Op::kWrite, std::move(section), std::move(key), std::move(value)};
}
Op Erase(std::string section) {
    return {Op::kErase, std::move(section), "", ""};
}

struct OracleCase {
    const char* what;
    std::optional<std::string> initial; // nothing: no file
    std::vector<Op> ops;
    const char* file = "setup.ini"; // where the file lies inside each side's folder
};

// True when the system, rewriting the file, would give back the same bytes: CR LF after every
// line, no blank lines, and no blanks around names, values and brackets.
bool LayoutSurvivesRewrite(const std::optional<std::string>& text) {
    if (!text) return true;
    auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\x1a';
    };
    auto trimmed = [&](const std::string& s) {
        return s.empty() || (!blank(s.front()) && !blank(s.back()));
    };
    for (size_t begin = 0; begin < text->size();) {
        size_t end = text->find("\r\n", begin);
        if (end == std::string::npos) return false;
        const std::string line = text->substr(begin, end - begin);
        begin = end + 2;
        if (line.empty() || line.find_first_of("\r\n") != std::string::npos || !trimmed(line))
            return false;
        size_t equals = line.find('=');
        if (line.front() == '[') {
            if (line.back() != ']' || !trimmed(line.substr(1, line.size() - 2))) return false;
        } else if (equals != std::string::npos) {
            if (!trimmed(line.substr(0, equals)) || !trimmed(line.substr(equals + 1))) return false;
        }
    }
    return true;
}

std::string RealRead(const std::string& path, const Op& op) {
    std::vector<char> buffer(2048);
    GetPrivateProfileStringA(platform::Utf8ToAnsi(op.section).c_str(),
                             platform::Utf8ToAnsi(op.key).c_str(), kDefault, buffer.data(),
                             static_cast<DWORD>(buffer.size()), path.c_str());
    return platform::AnsiToUtf8(buffer.data());
}

bool RealWrite(const std::string& path, const Op& op) {
    const std::string section = platform::Utf8ToAnsi(op.section);
    const std::string key = platform::Utf8ToAnsi(op.key);
    const std::string value = platform::Utf8ToAnsi(op.value);
    return WritePrivateProfileStringA(
               section.c_str(), op.kind == Op::kErase ? nullptr : key.c_str(),
               op.kind == Op::kErase ? nullptr : value.c_str(), path.c_str()) != 0;
}

bool OurWrite(const std::string& path, const Op& op) {
    try {
        SettingsFile file(path);
        if (op.kind == Op::kErase)
            file.EraseSection(op.section);
        else
            file.WriteString(op.section, op.key, op.value);
        return true;
    } catch (const platform::Error&) {
        return false;
    }
}

// Every section and its "key=value" lines as the system's reader lists them.
std::vector<std::string> Listing(const std::string& path) {
    std::vector<std::string> out;
    std::vector<char> names(1 << 16), lines(1 << 16);
    GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path.c_str());
    for (const char* name = names.data(); *name; name += strlen(name) + 1) {
        out.push_back(std::string("[") + name + "]");
        GetPrivateProfileSectionA(name, lines.data(), static_cast<DWORD>(lines.size()),
                                  path.c_str());
        for (const char* line = lines.data(); *line; line += strlen(line) + 1) out.push_back(line);
    }
    return out;
}

std::vector<OracleCase> Cases() {
    const std::string a3000(3000, 'a');
    return {
        {"reading rules",
         "[S]\r\nk1=v1\r\n  k2  =  v2  \r\n;c=x\r\nnoeq\r\nK3=\"q\"\r\nk4='q'\r\nk5=\"q'\r\n"
         "k6=\r\nk7=a=b\r\nk1=dup\r\n[ s ]\r\nk8=x\r\n[S]\r\nk9=second\r\n\t[T] \r\nk=t\r\n"
         "[U]junk\r\nk=u\r\n",
         {Read("S", "k1"), Read("s", "K2"), Read("S", " k2 "), Read("S", ";c"), Read("S", "noeq"),
          Read("S", "k3"), Read("S", "k4"), Read("S", "k5"), Read("S", "k6"), Read("S", "k7"),
          Read("S", "absent"), Read(" s ", "k8"), Read("S", "k9"), Read("T", "k"), Read("U", "k"),
          Read("V", "k")}},
        {"quotes",
         "[S]\nq1=\"\"\nq2=\"\nq3=\"a\"b\"\nq4=  \" a \"  "
         "\nq5='a\"\nq6=\"\"\"a\"\"\"\nq7=''\nq8='\n",
         {Read("S", "q1"), Read("S", "q2"), Read("S", "q3"), Read("S", "q4"), Read("S", "q5"),
          Read("S", "q6"), Read("S", "q7"), Read("S", "q8")}},
        {"blank characters",
         "[S]\nt=\tv\t\n\fk\f=v\nvt=\vv\v\nz=\x1av\x1a\n",
         {Read("S", "t"), Read("S", "k"), Read("S", "vt"), Read("S", "z"), Write("S", "t", "w")}},
        {"LF breaks, none at the end",
         "[S]\nk1=v1\nk2=v2",
         {Read("S", "k1"), Read("S", "k2"), Write("S", "k3", "v3"), Write("T", "k", "v")}},
        {"lone CR breaks",
         "[S]\ra=1\rb=2\r\n",
         {Read("S", "a"), Read("S", "b"), Write("S", "b", "3")}},
        {"Ctrl-Z at the end", "[S]\r\nk=v\r\n\x1a", {Read("S", "k"), Write("S", "n", "1")}},
        {"keys before the first section",
         "k0=x\r\n[S]\r\nk=y\r\n",
         {Read("", "k0"), Write("", "k0", "z"), Write("", "k1", "w"), Read("", "k1")}},
        {"unclosed and odd headers",
         "[A]\r\nx=1\r\n[S\r\ny=2\r\n[a]b]\r\nz=3\r\n",
         {Read("A", "y"), Read("S", "y"), Read("a]b", "z")}},
        {"update in place",
         "[S]\r\na=1\r\nB=2\r\n;note\r\n[T]\r\nx=y\r\n",
         {Write("s", "b", "new"), Read("S", "B")}},
        {"update in place among blank lines",
         "; head\r\n[S]\r\n  a = 1 \r\nB=2\r\n\r\n[T]\r\nx=y\r\n",
         {Write("s", "b", "new"), Write("S", "a", "2"), Read("S", "a")}},
        {"update keeps the key's spelling", "[S]\r\nKey=1\r\n", {Write("S", "KEY", "2")}},
        {"update of a line without equals",
         "[S]\r\nnoeq\r\na=1\r\n",
         {Write("S", "noeq", "v"), Read("S", "noeq")}},
        {"update of a value holding equals",
         "[S]\r\nk=a=b\r\n",
         {Write("S", "k", "c=d"), Read("S", "k")}},
        {"duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", {Write("S", "k", "3"), Read("S", "k")}},
        {"duplicate sections",
         "[S]\r\na=1\r\n[S]\r\nk=2\r\n",
         {Read("S", "k"), Write("S", "k", "3"), Read("S", "k"), Write("S", "n", "4")}},
        {"append key before the next section",
         "[S]\r\na=1\r\n[T]\r\nx=y\r\n",
         {Write("S", "n", "v")}},
        {"append key with comments", "[S]\r\n;c\r\nnoeq\r\n", {Write("S", "z", "1")}},
        {"append key to a bare header", "[S]\r\n[T]\r\n", {Write("S", "k", "v")}},
        {"append key before blank lines",
         "[S]\r\na=1\r\n\r\n\r\n[T]\r\nx=y\r\n",
         {Write("S", "n", "v"), Write("T", "n", "v")}},
        {"append key, no break at the end", "[S]\r\na=1", {Write("S", "n", "v")}},
        {"append section", "[S]\r\na=1\r\n", {Write("New", "n", "v")}},
        {"append section, no break at the end", "[S]\r\na=1", {Write("New", "n", "v")}},
        {"create the file",
         std::nullopt,
         {Write("S", "k", "v"), Write("S", "k2", "v2"), Write("T", "k", "v"), Read("s", "K2")}},
        {"fill an empty file", "", {Write("S", "k", "v")}},
        {"values as written",
         std::nullopt,
         {Write("S", "e", ""), Write("S", "sp", "  x  "), Write("S", "q", "\"x\""),
          Write("S", "a", "'"), Read("S", "e"), Read("S", "sp"), Read("S", "q"), Read("S", "a")}},
        {"long values",
         std::nullopt,
         {Write("S", "a", std::string(2046, 'b')), Write("S", "b", std::string(2047, 'b')),
          Write("S", "c", std::string(2048, 'b')), Write("S", "d", a3000),
          Write("S", "e", "\"" + a3000 + "\""), Read("S", "a"), Read("S", "b"), Read("S", "c"),
          Read("S", "d"), Read("S", "e")}},
        {"Czech values",
         std::nullopt,
         {Write("S", "k", "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88"),
          Read("S", "k")}},
        {"UTF-8 after the byte-order mark",
         "\xEF\xBB\xBF[S]\r\nk=\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD\r\n",
         {Read("S", "k"), Write("S", "n", "k\xC5\xAF\xC5\x88"), Write("T", "k", "\xC5\xA5"),
          Read("S", "n")}},
        {"erase a middle section",
         "[A]\r\nx=1\r\n[S]\r\na=1\r\nb=2\r\n[T]\r\nc=3\r\n",
         {Erase("s"), Read("S", "a"), Read("T", "c")}},
        {"erase a section with comments",
         "[A]\r\nx=1\r\n[S]\r\n;comment\r\na=1\r\n[T]\r\nc=3\r\n",
         {Erase("S")}},
        {"erase the last section", "[A]\r\nx=1\r\n[S]\r\na=1\r\n", {Erase("S")}},
        {"erase a missing section", "[A]\r\nx=1\r\n", {Erase("S")}},
        {"erase in a missing file", std::nullopt, {Erase("S")}},
        {"erase the first of two sections",
         "[S]\r\na=1\r\n[T]\r\nb=1\r\n[S]\r\nc=1\r\n",
         {Erase("S"), Read("S", "c"), Erase("S"), Read("S", "c")}},
        {"erase among blank lines",
         "[A]\r\nx=1\r\n\r\n[S]\r\na=1\r\n\r\n[T]\r\nc=3\r\n",
         {Erase("S"), Write("S", "b", "2")}},
        {"write where the folder is missing",
         std::nullopt,
         {Write("S", "k", "v"), Erase("S"), Read("S", "k")},
         "missing\\setup.ini"},
    };
}

TEST(ProfileOracle, SettingsFileAgreesWithTheSystem) {
    TempFolder folder;
    int number = 0;
    for (const OracleCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        const std::string side = "case" + std::to_string(++number);
        testing::fs::create_directories(testing::PathOf(folder.Path(side + "-real")));
        testing::fs::create_directories(testing::PathOf(folder.Path(side + "-ours")));
        const std::string real = folder.Path(side + "-real\\" + c.file);
        const std::string ours = folder.Path(side + "-ours\\" + c.file);
        // The A functions take the path in the ANSI code page.
        ASSERT_EQ(platform::Utf8ToAnsi(real), real) << "the test folder needs an ASCII path";
        if (c.initial) {
            WriteBytes(real, *c.initial);
            WriteBytes(ours, *c.initial);
        }
        for (const Op& op : c.ops) {
            SCOPED_TRACE("[" + op.section + "] " + op.key);
            if (op.kind == Op::kRead) {
                const std::string expected = RealRead(real, op);
                EXPECT_EQ(SettingsFile(ours).ReadString(op.section, op.key, kDefault), expected);
                // Each reader on the other's file, too.
                EXPECT_EQ(SettingsFile(real).ReadString(op.section, op.key, kDefault), expected);
                EXPECT_EQ(RealRead(ours, op), expected);
            } else {
                EXPECT_EQ(OurWrite(ours, op), RealWrite(real, op));
            }
        }
        EXPECT_EQ(Listing(ours), Listing(real));
        if (LayoutSurvivesRewrite(c.initial)) {
            EXPECT_EQ(ReadBytes(ours), ReadBytes(real));
        }
    }
}

} // namespace
} // namespace services
