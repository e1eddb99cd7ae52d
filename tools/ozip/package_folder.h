// A package folder written beside its place and moved in whole, so that a failed pack leaves
// no half package; and the rule that pack replaces only a package it made itself.
#pragma once

#include <string>

namespace ozip {

// The comment of every orvoinst.zip pack writes: the mark of a package it may replace.
extern const char kPackComment[];

class PackageFolder {
  public:
    // Refuses (std::runtime_error) a target that is not a folder, or a folder that holds
    // anything but an earlier package of pack; then makes the folder the package is written
    // into.
    explicit PackageFolder(const std::string& target);
    // Removes the half-made package unless it was committed.
    ~PackageFolder();
    PackageFolder(const PackageFolder&) = delete;
    PackageFolder& operator=(const PackageFolder&) = delete;

    // Where a file of the package is written before Commit.
    std::string Staged(const std::string& name) const;
    // Puts the package in the target's place; the earlier package goes.
    void Commit();

  private:
    std::string target_, staging_;
    bool earlier_ = false; // the target holds an earlier package
    bool committed_ = false;
};

} // namespace ozip
