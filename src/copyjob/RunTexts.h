#pragma once
// Texts that several steps of a run show; each stands exactly as the users
// of the program know it.

namespace RunText {
inline constexpr char kIdleStatus[] = "すべての設定を確認後、[実行]を押してください．";
inline constexpr char kContinuousStatus[] = "連続処理実行中...";
inline constexpr char kCloseCaption[] = "閉じる(&X)";
inline constexpr char kAbortCaption[] = "中断(&X)";
inline constexpr char kCollectingBusy[] = "ﾌｧｲﾙ情報収集中";
inline constexpr char kCollectingStatus[] = "ｺﾋﾟｰ元とｺﾋﾟｰ先のﾌｧｲﾙ情報を収集中です．";
inline constexpr char kCollectingDestStatus[] = "ｺﾋﾟｰ先の情報を収集中です．";
inline constexpr char kSearchingFolder[] = "ﾌｫﾙﾀﾞ '%s' を検索中です...";
inline constexpr char kSourceNotReady[] =
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか、ﾌｫﾙﾀﾞが無効です．\n"
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名を確認するか、正しいﾃﾞｨｽｸを挿入してください．";
inline constexpr char kDestNotReady[] =
    "ｺﾋﾟｰ先ﾌｫﾙﾀﾞの準備が出来てないか、ﾌｫﾙﾀﾞが無効です．\n"
    "ｺﾋﾟｰ先ﾌｫﾙﾀﾞ名を確認するか、正しいﾃﾞｨｽｸを挿入してください．";
inline constexpr char kSourceNotGiven[] =
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか、ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．\n"
    "ｺﾋﾟｰ元がFD,MOなどならﾃﾞｨｽｸを挿入してください．";
inline constexpr char kSourceIncomplete[] =
    "ｺﾋﾟｰ元ﾌｫﾙﾀﾞを完全には読み取れなかったため、ｺﾋﾟｰ先ﾌｫﾙﾀﾞはｸﾘｱしませんでした．";

// Log lines that name what a run left alone and why; each follows a path,
// in the manner of the folder-structure line " -->フォルダ作成 終了ｺｰﾄﾞ 0".
inline constexpr char kLogFolderUnreadable[] = " -->フォルダ読取不可 終了ｺｰﾄﾞ ";
inline constexpr char kLogNotCopied[] = " -->ｺﾋﾟｰしませんでした (%s)";
inline constexpr char kReasonFifo[] = "名前付きﾊﾟｲﾌﾟ";
inline constexpr char kReasonSocket[] = "ｿｹｯﾄ";
inline constexpr char kReasonDevice[] = "ﾃﾞﾊﾞｲｽ";
inline constexpr char kReasonBrokenLink[] = "ﾘﾝｸ先がありません";
inline constexpr char kReasonLinkLoop[] = "ﾘﾝｸが循環しています";
inline constexpr char kLogNameInexpressible[] = " -->名前に \\ を含むためｺﾋﾟｰ出来ません";
inline constexpr char kLogPathTooLong[] = " -->ﾊﾟｽが長すぎるためｺﾋﾟｰ出来ません";
inline constexpr char kLogLinkInDestination[] = " -->ｼﾝﾎﾞﾘｯｸﾘﾝｸのため書き込みませんでした";
inline constexpr char kLogLeftOtherMount[] = " -->別のﾏｳﾝﾄのため消去しませんでした";
inline constexpr char kLogLeftProgramFolder[] = " -->ﾌﾟﾛｸﾞﾗﾑのﾌｫﾙﾀﾞのため消去しませんでした";
inline constexpr char kLogLeftTrash[] = " -->ごみ箱のため消去しませんでした";
inline constexpr char kLogTrashFailed[] = " -->ごみ箱へ移動出来ません 終了ｺｰﾄﾞ ";
inline constexpr char kLogLinkReplaced[] = " -->ｼﾝﾎﾞﾘｯｸﾘﾝｸを置き換えました";
} // namespace RunText

// Fills the one "%s" of a message with a text.
#include <string>
#include <string_view>
inline std::string FormatWithText(const char* format, const std::string& text) {
    const std::string_view pattern = format;
    const size_t at = pattern.find("%s");
    if (at == std::string_view::npos)
        return std::string(pattern);
    std::string result(pattern.substr(0, at));
    result.append(text).append(pattern.substr(at + 2));
    return result;
}
