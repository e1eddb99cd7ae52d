// The controls of the two windows by what they are for, and the names they carry. The names
// are what the world outside the code sees: the keys of the stored texts in setup.ini, the
// windows' OrvoName property that the end-to-end driver finds them by, and the layout tables.
// Code names a control by its role; this table is the one place that spells its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace contract {

constexpr std::string_view kMainWindowName = "Form1";
constexpr std::string_view kFolderPickerName = "Form2";

// Each window's controls as (role, name), in the order of its layout's tables. The lists make
// both the role enumerations and the tables of names and role words below, so the two cannot
// drift apart.
#define ORVO_MAIN_CONTROLS(X)           \
    X(Title, "Programname")             \
    X(Pages, "pages")                   \
    X(WelcomePage, "Portal")            \
    X(WelcomeFrame, "Bevel2")           \
    X(WelcomeText, "Memo2")             \
    X(WelcomeCancel, "Storno")          \
    X(WelcomeContinue, "BitBtn5")       \
    X(WelcomeSidePanel, "Panel5")       \
    X(WelcomePicture, "Image6")         \
    X(LicencePage, "Licence")           \
    X(LicenceFrame, "Bevel4")           \
    X(LicenceText, "Memo7")             \
    X(LicenceCancel, "BitBtn14")        \
    X(Messages, "Memo6")                \
    X(AcceptLicence, "RadioButtyes")    \
    X(RefuseLicence, "RadioButtNO")     \
    X(LicenceBack, "BitBtn13")          \
    X(LicenceContinue, "BitBtn15")      \
    X(LicenceSidePanel, "Panel6")       \
    X(LicencePicture, "Image7")         \
    X(FolderPage, "DirPage")            \
    X(FolderFrame, "Bevel1")            \
    X(FolderHeading, "Label1")          \
    X(FolderIcon, "Image3")             \
    X(FolderChoice, "Directory")        \
    X(FolderText, "Memo3")              \
    X(FolderBack, "BitBtn1")            \
    X(FolderContinue, "BitBtn2")        \
    X(FolderCancel, "BitBtn3")          \
    X(FolderSidePanel, "Panel7")        \
    X(FolderPicture, "Image8")          \
    X(IconPage, "IconPage")             \
    X(IconFrame, "Bevel3")              \
    X(IconHeading, "Label6")            \
    X(IconPrompt, "Label2")             \
    X(IconPageIcon, "Image1")           \
    X(IconChoice, "ProgIcon")           \
    X(IconBack, "BitBtn7")              \
    X(IconContinue, "BitBtn8")          \
    X(IconCancel, "BitBtn9")            \
    X(IconText, "Memo4")                \
    X(IconSidePanel, "Panel8")          \
    X(IconPicture, "Image9")            \
    X(SummaryPage, "Installpage")       \
    X(Summary, "Memo1")                 \
    X(SummaryBack, "BitBtn10")          \
    X(Finish, "BitBtn4")                \
    X(SummaryCancel, "BitBtn6")         \
    X(SummarySidePanel, "Panel9")       \
    X(SummaryPicture, "Image10")        \
    X(UninstallPage, "TabSheet2")       \
    X(UninstallFrame, "Bevel5")         \
    X(UninstallHeading, "Label9")       \
    X(UninstallSubheading, "Label3")    \
    X(Uninstall, "BitBtn11")            \
    X(UninstallCancel, "BitBtn12")      \
    X(UninstallText, "Memo5")           \
    X(UninstallSidePanel, "Panel10")    \
    X(UninstallPicture, "Image11")      \
    X(ProgressPanel, "Panel1")          \
    X(BarPanel, "Panel2")               \
    X(MemberBar, "ALProgressBar1")      \
    X(RunBarVertical, "ALProgressBar3") \
    X(MemberBarIcon, "Image4")          \
    X(RunBarIcon, "Image2")             \
    X(StatusPanel, "Panel3")            \
    X(RunBar, "ALProgressBar2")         \
    X(ProgressHeading, "Label8")        \
    X(MemberName, "Label10")            \
    X(StepText, "Mess")                 \
    X(PicturePanel, "Panel4")           \
    X(PanelPicture, "Image5")           \
    X(UninstallList, "uninstallfiles")

#define ORVO_PICKER_CONTROLS(X) \
    X(PathFrame, "Bevel1")      \
    X(Path, "Label1")           \
    X(Tree, "dirtree")          \
    X(Cancel, "BitBtn1")        \
    X(Ok, "BitBtn2")

#define ORVO_CONTROL_ROLE(role, name) k##role,
enum class MainControl : std::uint8_t { ORVO_MAIN_CONTROLS(ORVO_CONTROL_ROLE) };
enum class PickerControl : std::uint8_t { ORVO_PICKER_CONTROLS(ORVO_CONTROL_ROLE) };
#undef ORVO_CONTROL_ROLE

// A control's role, as the tests and tools that read the tables spell it, and its name.
template <typename Role>
struct RoleName {
    Role role;
    std::string_view role_word; // "WelcomeContinue"
    std::string_view name;      // "BitBtn5"
};

#define ORVO_MAIN_ROLE_NAME(role, name) {MainControl::k##role, #role, name},
#define ORVO_PICKER_ROLE_NAME(role, name) {PickerControl::k##role, #role, name},
inline constexpr RoleName<MainControl> kMainControlNames[] = {
    ORVO_MAIN_CONTROLS(ORVO_MAIN_ROLE_NAME)};
inline constexpr RoleName<PickerControl> kPickerControlNames[] = {
    ORVO_PICKER_CONTROLS(ORVO_PICKER_ROLE_NAME)};
#undef ORVO_MAIN_ROLE_NAME
#undef ORVO_PICKER_ROLE_NAME

constexpr std::string_view NameOf(MainControl role) {
    return kMainControlNames[static_cast<std::size_t>(role)].name;
}
constexpr std::string_view NameOf(PickerControl role) {
    return kPickerControlNames[static_cast<std::size_t>(role)].name;
}

// The texts of the main window that setup.ini may replace, in the order they are saved and
// restored, each a control and its property.
struct StoredText {
    MainControl control;
    std::string_view property;
};
inline constexpr StoredText kMainWindowStoredTexts[] = {
    {MainControl::kFolderHeading, "Caption"},
    {MainControl::kUninstall, "Caption"},
    {MainControl::kUninstallCancel, "Caption"},
    {MainControl::kIconPrompt, "Caption"},
    {MainControl::kIconHeading, "Caption"},
    {MainControl::kUninstallHeading, "Caption"},
    {MainControl::kIconChoice, "Items"},
    {MainControl::kUninstallText, "Lines"},
    {MainControl::kFolderText, "Lines"},
    {MainControl::kWelcomeText, "Lines"},
    {MainControl::kUninstallSubheading, "Caption"},
    {MainControl::kFolderBack, "Caption"},
    {MainControl::kSummaryBack, "Caption"},
    {MainControl::kFolderContinue, "Caption"},
    {MainControl::kFolderCancel, "Caption"},
    {MainControl::kFinish, "Caption"},
    {MainControl::kWelcomeContinue, "Caption"},
    {MainControl::kSummaryCancel, "Caption"},
    {MainControl::kIconBack, "Caption"},
    {MainControl::kIconContinue, "Caption"},
    {MainControl::kIconCancel, "Caption"},
    {MainControl::kIconText, "Lines"},
    {MainControl::kLicenceCancel, "Caption"},
    {MainControl::kMessages, "Lines"},
    {MainControl::kLicenceBack, "Caption"},
    {MainControl::kLicenceContinue, "Caption"},
    {MainControl::kRefuseLicence, "Caption"},
    {MainControl::kAcceptLicence, "Caption"},
    // Visible texts beyond the first list, after it so that its order stays.
    {MainControl::kWelcomeCancel, "Caption"},
    {MainControl::kProgressHeading, "Caption"},
};

// The stored texts as the settings component names them, "Control.Property".
inline const std::vector<std::string>& MainWindowStoredProps() {
    static const std::vector<std::string> entries = [] {
        std::vector<std::string> list;
        for (const StoredText& text : kMainWindowStoredTexts)
            list.push_back(std::string(NameOf(text.control)) + "." + std::string(text.property));
        return list;
    }();
    return entries;
}

} // namespace contract
