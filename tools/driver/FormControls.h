// The wizard's controls in the order of the form's collection. fernclip.exe gives each control
// window the id 1000 + its position here, which is how the tests find them.
#pragma once

#include <array>
#include <string_view>

namespace revivix::driver {

inline constexpr int kFirstControlId = 1000;
inline constexpr wchar_t kWizardCaption[] = L"Zanterix Revivix";

inline constexpr std::array<std::string_view, 30> kFormControls = {
    "Frame_Region_Lang",
    "Combo_Region",
    "Combo_Language",
    "Frame_DetectPlayer_by_SNO",
    "Uni_PID3500_err_MSG",
    "UniLabel_New_Version_Info",
    "Label_Player",
    "Combo_Choose_Player",
    "Label_SNO",
    "txtSNO",
    "CmdYes",
    "CmdNo",
    "Cmd_Next",
    "Player_Detected_Frame1",
    "Player_Detected_Label",
    "Info_Label",
    "UnitxtLicense",
    "VistaProg1",
    "Frame_4_Download_Progress",
    "VistaProg2",
    "Label_Actual_Size",
    "Label_Total_FileSize",
    "Frame_Error_Handling",
    "Uni_Error_Label1",
    "UniButton_Help",
    "UniRefresh",
    "Cmd_I_Disagree",
    "Cmd_I_Agree",
    "cmdExit",
    "List1",
};

// The control id of the named control; 0 for a name that is not in the collection.
constexpr int ControlId(std::string_view name) {
  for (std::size_t i = 0; i < kFormControls.size(); ++i)
    if (kFormControls[i] == name) return kFirstControlId + static_cast<int>(i);
  return 0;
}

}  // namespace revivix::driver
