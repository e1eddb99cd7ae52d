// A tree of drives and their folders. Only drives of the kinds fixed, network and unknown are
// listed (no removable, optical or RAM drives); folders are read when their parent is opened,
// and each one listed is looked into just far enough to know whether it gets an expand mark.
// The selection stays visible without the focus, outlined by a rectangle in clBtnShadow. A
// linked path label is given the selected folder's path at every change of selection, before
// on_change fires.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// The system's drive types (GetDriveType).
enum class DriveKind : std::uint8_t {
    kUnknown = 0,
    kNoRootDir = 1,
    kRemovable = 2,
    kFixed = 3,
    kRemote = 4,
    kCdRom = 5,
    kRamDisk = 6,
};

struct DriveEntry {
    char letter = 'C';
    DriveKind kind = DriveKind::kFixed;
};

class FolderTree : public Control {
  public:
    using DriveLister = std::function<std::vector<DriveEntry>()>;
    using FolderLister = std::function<std::vector<std::string>(const std::string& path)>;
    using SubfolderProbe = std::function<bool(const std::string& path)>;

    static constexpr int kIndent = 19; // at 96 DPI

    // The system's drives and folders unless others are given (tests give their own); given
    // folders without a probe are probed by listing them.
    explicit FolderTree(DriveLister drives = {}, FolderLister folders = {},
                        SubfolderProbe has_subfolders = {});

    static bool ListsDrive(DriveKind kind);
    static std::vector<DriveEntry> SystemDrives();
    // The sub-folders of a folder, sorted without regard to case.
    static std::vector<std::string> SystemFolders(const std::string& path);
    // Whether a folder holds a folder: stops at the first one.
    static bool SystemHasSubfolders(const std::string& path);

    // Reads the drives again; the first listed drive is selected, which is where the tree
    // starts rather than a change (no change event).
    void Refresh();
    // The texts of the drive entries, top to bottom ("C:", ...).
    std::vector<std::string> DriveTexts() const;

    // The selected folder's full path without a trailing backslash (a drive root is "C:");
    // empty when nothing is selected.
    std::string SelectedPath() const;
    // Opens the folders on the way and selects the given one; false when it is not listed.
    bool SetSelectedPath(const std::string& path);

    // How far a level stands right of its parent.
    int Indent() const { return indent_; }
    void SetIndent(int pixels);

    void SetPathLabel(Control* label) { path_label_ = label; }
    Control* PathLabel() const { return path_label_; }

  protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    bool HandleNotification(Message& message) override;
    bool UsesParentColor() const override { return false; }

  private:
    void* InsertNode(void* parent, const std::string& text, const std::string& path);
    void Expand(void* node);
    void SelectionChanged();
    std::intptr_t CustomDraw(void* draw);

    DriveLister drives_;
    FolderLister folders_;
    SubfolderProbe has_subfolders_;
    std::vector<std::string> paths_; // a node's lParam indexes its path here
    std::vector<bool> read_;         // whether a node's sub-folders have been read
    Control* path_label_ = nullptr;
    int indent_ = kIndent;
    bool filling_ = false; // the first drive selected while filling is no change
};

} // namespace ui
