// The controls of the two windows by what they are for, and the names they carry. The names
// are what the world outside the code sees: the keys of the stored texts in setup.ini, the
// windows' OrvoName property that the end-to-end driver finds them by, and the layout tables.
// Code names a control by its role; this table is the one place that spells its name, and
// tests/e2e reads it too (one {Role, "Name"} entry a line).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace layouts {

constexpr std::string_view kMainWindowName = "Form1";
constexpr std::string_view kFolderPickerName = "Form2";

enum class MainControl : std::uint8_t {
    kTitle,
    kPages,
    kWelcomePage,
    kWelcomeFrame,
    kWelcomeText,
    kWelcomeCancel,
    kWelcomeContinue,
    kWelcomeSidePanel,
    kWelcomePicture,
    kLicencePage,
    kLicenceFrame,
    kLicenceText,
    kLicenceCancel,
    kMessages,
    kAcceptLicence,
    kRefuseLicence,
    kLicenceBack,
    kLicenceContinue,
    kLicenceSidePanel,
    kLicencePicture,
    kFolderPage,
    kFolderFrame,
    kFolderHeading,
    kFolderIcon,
    kFolderChoice,
    kFolderText,
    kFolderBack,
    kFolderContinue,
    kFolderCancel,
    kFolderSidePanel,
    kFolderPicture,
    kIconPage,
    kIconFrame,
    kIconHeading,
    kIconPrompt,
    kIconPageIcon,
    kIconChoice,
    kIconBack,
    kIconContinue,
    kIconCancel,
    kIconText,
    kIconSidePanel,
    kIconPicture,
    kSummaryPage,
    kSummary,
    kSummaryBack,
    kFinish,
    kSummaryCancel,
    kSummarySidePanel,
    kSummaryPicture,
    kUninstallPage,
    kUninstallFrame,
    kUninstallHeading,
    kUninstallSubheading,
    kUninstall,
    kUninstallCancel,
    kUninstallText,
    kUninstallSidePanel,
    kUninstallPicture,
    kProgressPanel,
    kBarPanel,
    kMemberBar,
    kRunBarVertical,
    kMemberBarIcon,
    kRunBarIcon,
    kStatusPanel,
    kRunBar,
    kProgressHeading,
    kMemberName,
    kStepText,
    kPicturePanel,
    kPanelPicture,
    kUninstallList,
};

enum class PickerControl : std::uint8_t { kPathFrame, kPath, kTree, kCancel, kOk };

// The main window's pages by their index in the page control; the wizard's buttons carry the
// index of the page they lead to as their Tag.
namespace pages {
enum Page : int {
    kPagePortal = 0,
    kPageLicence = 1,
    kPageDirectory = 2,
    kPageIcons = 3,
    kPageSummary = 4,
    kPageUninstall = 5,
};
} // namespace pages

template <typename Role>
struct RoleName {
    Role role;
    std::string_view name;
};

// In the order of the enumerators.
inline constexpr RoleName<MainControl> kMainControlNames[] = {
    {MainControl::kTitle, "Programname"},
    {MainControl::kPages, "pages"},
    {MainControl::kWelcomePage, "Portal"},
    {MainControl::kWelcomeFrame, "Bevel2"},
    {MainControl::kWelcomeText, "Memo2"},
    {MainControl::kWelcomeCancel, "Storno"},
    {MainControl::kWelcomeContinue, "BitBtn5"},
    {MainControl::kWelcomeSidePanel, "Panel5"},
    {MainControl::kWelcomePicture, "Image6"},
    {MainControl::kLicencePage, "Licence"},
    {MainControl::kLicenceFrame, "Bevel4"},
    {MainControl::kLicenceText, "Memo7"},
    {MainControl::kLicenceCancel, "BitBtn14"},
    {MainControl::kMessages, "Memo6"},
    {MainControl::kAcceptLicence, "RadioButtyes"},
    {MainControl::kRefuseLicence, "RadioButtNO"},
    {MainControl::kLicenceBack, "BitBtn13"},
    {MainControl::kLicenceContinue, "BitBtn15"},
    {MainControl::kLicenceSidePanel, "Panel6"},
    {MainControl::kLicencePicture, "Image7"},
    {MainControl::kFolderPage, "DirPage"},
    {MainControl::kFolderFrame, "Bevel1"},
    {MainControl::kFolderHeading, "Label1"},
    {MainControl::kFolderIcon, "Image3"},
    {MainControl::kFolderChoice, "Directory"},
    {MainControl::kFolderText, "Memo3"},
    {MainControl::kFolderBack, "BitBtn1"},
    {MainControl::kFolderContinue, "BitBtn2"},
    {MainControl::kFolderCancel, "BitBtn3"},
    {MainControl::kFolderSidePanel, "Panel7"},
    {MainControl::kFolderPicture, "Image8"},
    {MainControl::kIconPage, "IconPage"},
    {MainControl::kIconFrame, "Bevel3"},
    {MainControl::kIconHeading, "Label6"},
    {MainControl::kIconPrompt, "Label2"},
    {MainControl::kIconPageIcon, "Image1"},
    {MainControl::kIconChoice, "ProgIcon"},
    {MainControl::kIconBack, "BitBtn7"},
    {MainControl::kIconContinue, "BitBtn8"},
    {MainControl::kIconCancel, "BitBtn9"},
    {MainControl::kIconText, "Memo4"},
    {MainControl::kIconSidePanel, "Panel8"},
    {MainControl::kIconPicture, "Image9"},
    {MainControl::kSummaryPage, "Installpage"},
    {MainControl::kSummary, "Memo1"},
    {MainControl::kSummaryBack, "BitBtn10"},
    {MainControl::kFinish, "BitBtn4"},
    {MainControl::kSummaryCancel, "BitBtn6"},
    {MainControl::kSummarySidePanel, "Panel9"},
    {MainControl::kSummaryPicture, "Image10"},
    {MainControl::kUninstallPage, "TabSheet2"},
    {MainControl::kUninstallFrame, "Bevel5"},
    {MainControl::kUninstallHeading, "Label9"},
    {MainControl::kUninstallSubheading, "Label3"},
    {MainControl::kUninstall, "BitBtn11"},
    {MainControl::kUninstallCancel, "BitBtn12"},
    {MainControl::kUninstallText, "Memo5"},
    {MainControl::kUninstallSidePanel, "Panel10"},
    {MainControl::kUninstallPicture, "Image11"},
    {MainControl::kProgressPanel, "Panel1"},
    {MainControl::kBarPanel, "Panel2"},
    {MainControl::kMemberBar, "ALProgressBar1"},
    {MainControl::kRunBarVertical, "ALProgressBar3"},
    {MainControl::kMemberBarIcon, "Image4"},
    {MainControl::kRunBarIcon, "Image2"},
    {MainControl::kStatusPanel, "Panel3"},
    {MainControl::kRunBar, "ALProgressBar2"},
    {MainControl::kProgressHeading, "Label8"},
    {MainControl::kMemberName, "Label10"},
    {MainControl::kStepText, "Mess"},
    {MainControl::kPicturePanel, "Panel4"},
    {MainControl::kPanelPicture, "Image5"},
    {MainControl::kUninstallList, "uninstallfiles"},
};

inline constexpr RoleName<PickerControl> kPickerControlNames[] = {
    {PickerControl::kPathFrame, "Bevel1"}, {PickerControl::kPath, "Label1"},
    {PickerControl::kTree, "dirtree"},     {PickerControl::kCancel, "BitBtn1"},
    {PickerControl::kOk, "BitBtn2"},
};

template <typename Role, std::size_t N>
constexpr bool InRoleOrder(const RoleName<Role> (&table)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (static_cast<std::size_t>(table[i].role) != i) return false;
    return true;
}
static_assert(InRoleOrder(kMainControlNames), "one entry per role, in the enum's order");
static_assert(InRoleOrder(kPickerControlNames), "one entry per role, in the enum's order");

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

} // namespace layouts
