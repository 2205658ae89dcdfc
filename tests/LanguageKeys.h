// The 29 message keys of the language files, in the order the language files list them.
#pragma once

namespace revivix::test {

inline constexpr const wchar_t* kLanguageKeys[] = {L"IDS_PLAYER_DETECTED",
                                                   L"IDS_LICENSE_AGREEMENT_MSG1",
                                                   L"IDS_MSC_MESSAGE",
                                                   L"IDS_LICENSE_AGREE_CONTINUE",
                                                   L"IDS_LICENSE_DISAGREE_QUIT",
                                                   L"IDS_EXIT",
                                                   L"IDS_NEXT",
                                                   L"IDS_YES",
                                                   L"IDS_NO",
                                                   L"IDS_HELP",
                                                   L"IDS_REFRESH",
                                                   L"IDS_NEW_VERSION_AVAILABLE",
                                                   L"IDS_ENTER_PLAYER_SNO",
                                                   L"IDS_SNO_NOT_RECOGNISED_REENTER",
                                                   L"IDS_VISIT_KB_MSG",
                                                   L"IDS_CHOOSE_REGION_LANGUAGE",
                                                   L"IDS_FW_SITE_OFFLINE",
                                                   L"IDS_FW_DOWNLOAD_MSG1",
                                                   L"IDS_UNEXPECTED_ERROR",
                                                   L"IDS_FW_UPDATE_SUCCESSFUL",
                                                   L"IDS_FW_UPDATE_FAILED",
                                                   L"IDS_NO_VISTA_UPDATES",
                                                   L"IDS_MORE_DEVICES_FOUND",
                                                   L"IDS_WMP11_NOT_SUPPORTED",
                                                   L"IDS_NO_DEVICE_FOUND_MSG01",
                                                   L"IDS_PID_DATABASE_CONNECTION_FAILED",
                                                   L"IDS_OS_NOT_SUPPORTED",
                                                   L"IDS_NO_INTERNET_CONNECTION",
                                                   L"IDS_ADMIN_ERROR_MSG"};

}  // namespace revivix::test
