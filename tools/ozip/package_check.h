// `ozip check`: a package folder read as setup.exe will read it (setup.ini, orvoinst.zip,
// all.zip, short.txt, license.txt, readme.txt), with the installer's own rules and engine, and
// every problem found said with the line or member it comes from.
#pragma once

#include <string>
#include <vector>

#include "unzip/engine.h"

namespace ozip {

enum class Severity { kNote, kWarning, kError };

struct Finding {
    Severity severity;
    std::string where; // "setup.ini:12", "orvoinst.zip:doc/x.txt", "short.txt:3", "package"
    std::string what;
};

struct PackageReport {
    std::vector<Finding> findings;

    // 2 with any error, else 1 with any warning, else 0.
    int ExitCode() const;
};

// "error: <where>: <what>" (or "warning:", "note:").
std::string FindingLine(const Finding& finding);

// Checks the package in `folder`; `options` are the engine's (the code page of member names).
PackageReport CheckPackage(const std::string& folder, unzip::EngineOptions options);

} // namespace ozip
