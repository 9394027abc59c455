#include "protocol/catalogue.h"

namespace Catalogue {

const std::vector<const RequestSpec *> &requests()
{
    static const std::vector<const RequestSpec *> all{
        &kLogin, &kAddToPlayList, &kShowImage, &kCloseSendFiles, &kFileAnnouncement, &kSetWindow,
        &kWindowInfoQuery, &kCloseWindow, &kAddWindow, &kTimePlayListQuery, &kDeleteTimePlayProject,
        &kTimePlayDetailQuery, &kDeviceFilesQuery, &kSpotWordsQuery, &kSetSpotWords, &kSetSystemInfo,
        &kSystemInfoQuery, &kClockQuery, &kSetClock, &kAnimation0100, &kAnimation0200, &kAnimation0300,
        &kAnimation0301, &kAnimation0302, &kRestart, &kScreenSwitch, &kSetColor, &kVideoSource, &kRotation,
        &kAppendPlayFilesMore, &kAppendPlayFilesLast, &kTimePlayFilesMore, &kTimePlayFilesLast,
        &kTimePlayParameters, &kDeletePlayItem01, &kDeletePlayItem02, &kPlayListQuery, &kPlaySingle,
        &kPlayControl, &kPlayMode, &kCheckState, &kWindowVolume, &kClearPlayList, &kTimeCorrection,
        &kVolumeQuery, &kSetVolume,
    };
    return all;
}

const std::vector<const ReplySpec *> &replies()
{
    static const std::vector<const ReplySpec *> all{
        &kServerInfoReply, &kConnectionEndReply, &kPlayStateReply, &kWindowInfoReply, &kSpotWordsReply,
        &kSystemInfoReply, &kClockReply, &kVolumeReply, &kPlayListReply, &kTimePlayListReply,
        &kTimePlayFilesReply, &kDeviceFilesReply, &kPlayListCountReply,
    };
    return all;
}

const ReplySpec *replyForCode(const QString &codeText)
{
    for (const ReplySpec *r : replies())
        if (codeText == QLatin1String(r->codeText))
            return r;
    return nullptr;
}

} // namespace Catalogue
