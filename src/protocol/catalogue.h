#pragma once

#include <QString>
#include <vector>

// The one place where a frame code, its format text, its port and its send
// time-out are written. Every builder fills its row's format text and
// returns the frame with its row (protocol/frame.h); the request sender
// (net/requestsender.h) addresses it by the row.

enum class PortRole {
    Control,    // the server's control port, 5760
    Time,       // the volume and time family, 5762
    FileStream, // written to the TCP file stream, 5761
    Returned,   // given back to the caller, not sent
};

struct RequestSpec
{
    const char *code;     // frame code, e.g. "5502"
    const char *format;   // format text; each %@ is one field
    const char *builder;  // the operation or screen that builds it
    PortRole port;
    int timeoutSec;       // -1: none
};

struct ReplySpec
{
    const char *code;     // frame code
    const char *codeText; // the 12-character reply code
    const char *notice;   // the notice it is posted as (empty: handled by discovery)
};

namespace Catalogue {
constexpr int kNoTimeout = -1;

// Requests (direction 01)
inline constexpr RequestSpec kLogin{"5002", "414e44015002%@%@%@%@%@%@00022125", "sendXintiaoOrderWithHexString", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAddToPlayList{"5101", "414e44015101%@%@%@", "addTovedioListWithDataSource", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kShowImage{"5102", "414e44015102%@%@%@", "toShowImageWithDataSource", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kCloseSendFiles{"5103", "414e44015103%@%@%@", "backToCloseSendFilesWithDataSource", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kFileAnnouncement{"5104", "414e44015104%@%@%@%@%@", "sendFilesInfo", PortRole::FileStream, kNoTimeout};
inline constexpr RequestSpec kSetWindow{"5201", "414e44015201%@%@%@%@%@%@%@%@%@", "sendSetWindowStringWithParameters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kWindowInfoQuery{"5202", "414e44015202%@%@", "getWindowinitializeInfoWithWindowID", PortRole::Control, 10};
inline constexpr RequestSpec kCloseWindow{"5203", "414e44015203%@", "sendCloseNewWindowWithChooseWindow", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAddWindow{"5204", "414E44015204000190009600FA010E", "sendAddNewWindow", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kTimePlayListQuery{"5301", "414e44015301%@%@", "getTimePlayListInitializeInfoWithWindowID", PortRole::Control, 10};
inline constexpr RequestSpec kDeleteTimePlayProject{"5302", "414e44015302%@%@", "deleteSelectedPlayProjectWithProjectCount", PortRole::Returned, kNoTimeout};
inline constexpr RequestSpec kTimePlayDetailQuery{"5303", "414e44015303%@%@%@", "getTimePlayDetailInfoWithWindowID", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kDeviceFilesQuery{"5304", "414e44015304%@", "getDeviceFilesInfo", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kSpotWordsQuery{"5401", "414e44015401%@", "sendWordsinitializeInfo", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kSetSpotWords{"5402", "414E44015402%@%@%@%@%@%@%@%@%@%@", "sendSetSpotWordsWithParameters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kSetSystemInfo{"5501", "414e44015501%@%@%@%@%@%@%@%@%@", "sendSetSystemInfoWithParamaters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kSystemInfoQuery{"5502", "414e44015502%@", "sendSystemSetInitializeInfo", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kClockQuery{"5503", "414e44015503%@", "sendClockinitializeInfo", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kSetClock{"5504", "414e44015504%@%@%@%@%@%@", "sendSetClockOrderWithParameters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAnimation0100{"5505", "414E44015505%@0100", "animationButtonAction", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAnimation0200{"5505", "414E44015505%@0200", "animationButtonAction", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAnimation0300{"5505", "414E44015505%@0300", "animationButtonAction", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAnimation0301{"5505", "414E44015505%@0301", "animationButtonAction", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAnimation0302{"5505", "414E44015505%@0302", "animationButtonAction", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kRestart{"5506", "414e44015506", "RestartDeviceOrder", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kScreenSwitch{"5507", "414e44015507%@", "sendSetSystemKaiguanPingWithParamaters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kSetColor{"5508", "414e44015508%@%@%@", "sendSetSystemColorWithParamaters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kVideoSource{"5509", "414e44015509%@", "sendSetSystemshipinyuanWithParamaters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kRotation{"550C", "414e4401550c%@", "sendSetSystemPingmuXuanzhuanWithParamaters", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAppendPlayFilesMore{"5601", "414e44015601%@01%@%@ff", "addPlayFiletoPlayListWithChooseListArray", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kAppendPlayFilesLast{"5601", "414e44015601%@01%@%@%@", "addPlayFiletoPlayListWithChooseListArray", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kTimePlayFilesMore{"5602", "414e44015602%@%@ff", "addPlayFiletoTimePlayListWithChooseListArray", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kTimePlayFilesLast{"5602", "414e44015602%@%@%@", "addPlayFiletoTimePlayListWithChooseListArray", PortRole::Control, kNoTimeout};
// The scheme parameter frame: the envelope followed by 21 fields.
inline constexpr RequestSpec kTimePlayParameters{"5602", "414e44015602%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@%@", "PlaySelectViewController", PortRole::Control, 10};
inline constexpr RequestSpec kDeletePlayItem01{"5603", "414e44015603%@0101%@", "PlayControlViewController", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kDeletePlayItem02{"5603", "414e44015603%@0201%@", "PlayControlViewController", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kPlayListQuery{"5701", "414e44015701%@%@", "getPlayControlListInfoWithWindowID", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kPlaySingle{"5703", "414e44015703%@%@", "getVedioSiglePlayWithVedioIndexHex", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kPlayControl{"5704", "414e44015704%@%@", "sendPlayWithWindowID", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kPlayMode{"5705", "414e44015705%@%@", "sendChangePlayModelWithWindowID", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kCheckState{"5706", "414e44015706%@%@%@", "sendFielsToListWithVedioIndexHex", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kWindowVolume{"5707", "414e44015707%@%@", "PlayControlViewController", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kClearPlayList{"5708", "414e44015708%@", "PlayControlViewController", PortRole::Control, kNoTimeout};
inline constexpr RequestSpec kTimeCorrection{"5A01", "414e44015a01%@%@%@", "reviseDeviceTime", PortRole::Time, kNoTimeout};
inline constexpr RequestSpec kVolumeQuery{"5A02", "414e44015a02%@", "getSystemYinliangValueInfo", PortRole::Time, kNoTimeout};
inline constexpr RequestSpec kSetVolume{"5A03", "414e44015a03%@", "sendSetSystemYinLiangWithParamaters", PortRole::Time, kNoTimeout};

// Replies (direction 02), all received on the phone's port 5760.
inline constexpr ReplySpec kServerInfoReply{"5001", "414e44025001", ""};
inline constexpr ReplySpec kConnectionEndReply{"5003", "414e44025003", ""};
inline constexpr ReplySpec kPlayStateReply{"5101", "414e44025101", "didReceivePlayListOrderNotice"};
inline constexpr ReplySpec kWindowInfoReply{"5201", "414e44025201", "didReceiveWindowInfoNotice"};
inline constexpr ReplySpec kSpotWordsReply{"5401", "414e44025401", "didReceiveChabowenziInfoNotice"};
inline constexpr ReplySpec kSystemInfoReply{"5501", "414e44025501", "didReceiveSystemInfoNotice"};
inline constexpr ReplySpec kClockReply{"5502", "414e44025502", "didReceiveClocoInfoNotice"};
inline constexpr ReplySpec kVolumeReply{"5503", "414e44025503", "didReceiveSystemYinliangValueInfoNotice"};
inline constexpr ReplySpec kPlayListReply{"5601", "414e44025601", "didReceiveVedioPlayInfoNotice"};
inline constexpr ReplySpec kTimePlayListReply{"5602", "414e44025602", "didReceiveTimePlayListInfoNotice"};
inline constexpr ReplySpec kTimePlayFilesReply{"5603", "414e44025603", "didReceiveTimePlayListFilesInfoNotice"};
inline constexpr ReplySpec kDeviceFilesReply{"5604", "414e44025604", "didReceiveDeviceFilesInfoNotice"};
inline constexpr ReplySpec kPlayListCountReply{"5605", "414e44025605", "didReceiveVedioListNoInfoNotice"};

// Notices that are not replies.
inline constexpr const char *kShebeiInfoNotice = "didReceiveShebeiInfoNotice";
inline constexpr const char *kIpChangedNotice = "didReceiveIPChangedNotificaition";
inline constexpr const char *kChangeDelegateNotice = "didChangeDelegateNotificaition";
// The server files chosen for a timed-play scheme, handed from the server files screen.
inline constexpr const char *kTimePlayListFilesChooseNotice = "didReceiveTimePlayListFilesChooseNotice";

const std::vector<const RequestSpec *> &requests();
const std::vector<const ReplySpec *> &replies();
// The reply row of a 12-character reply code (lower case), or null.
const ReplySpec *replyForCode(const QString &codeText);
} // namespace Catalogue
