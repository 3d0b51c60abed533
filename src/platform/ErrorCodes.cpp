#include "platform/ErrorCodes.h"

#include <cerrno>

int ErrorFromErrno(int err) {
    switch (err) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: // opening a folder as a file is refused as access on the program's platform
        return ERROR_ACCESS_DENIED;
    case EBUSY:
    case ETXTBSY:
        return ERROR_SHARING_VIOLATION;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
        return ERROR_DISK_FULL;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case ENOTDIR:
        return ERROR_DIRECTORY;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EDQUOT:
        return ERROR_DISK_QUOTA_EXCEEDED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case ELOOP:
        return ERROR_CANT_RESOLVE_FILENAME;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EFBIG:
        return ERROR_FILE_TOO_LARGE;
    case ENOSYS:
    case EOPNOTSUPP:
        return ERROR_NOT_SUPPORTED;
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
        return ERROR_NOT_READY;
    case EILSEQ:
        return ERROR_NO_UNICODE_TRANSLATION;
    default:
        return ERROR_IO_DEVICE;
    }
}

std::string GetSystemErrorText(int code) {
    // The texts the program's users know from their system, without the
    // final line end those texts carry there.
    switch (code) {
    case ERROR_SUCCESS:
        return "この操作を正しく終了しました。";
    case ERROR_INVALID_FUNCTION:
        return "ファンクションが間違っています。";
    case ERROR_FILE_NOT_FOUND:
        return "指定されたファイルが見つかりません。";
    case ERROR_PATH_NOT_FOUND:
        return "指定されたパスが見つかりません。";
    case ERROR_TOO_MANY_OPEN_FILES:
        return "システムはファイルを開くことができません。";
    case ERROR_ACCESS_DENIED:
        return "アクセスが拒否されました。";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "このコマンドを実行するのに十分な記憶域がありません。";
    case ERROR_INVALID_DRIVE:
        return "指定されたドライブが見つかりません。";
    case ERROR_NOT_SAME_DEVICE:
        return "システムはファイルを別のディスク ドライブに移動できません。";
    case ERROR_NOT_READY:
        return "デバイスの準備ができていません。";
    case ERROR_WRITE_FAULT:
        return "システムは指定されたデバイスに書き込みできません。";
    case ERROR_READ_FAULT:
        return "システムは指定されたデバイスから読み取りできません。";
    case ERROR_SHARING_VIOLATION:
        return "プロセスはファイルにアクセスできません。別のプロセスが使用中です。";
    case ERROR_LOCK_VIOLATION:
        return "プロセスはファイルにアクセスできません。別のプロセスがファイルの一部をロックしてい"
               "ます。";
    case ERROR_HANDLE_DISK_FULL:
        return "ディスクがいっぱいです。";
    case ERROR_NOT_SUPPORTED:
        return "要求はサポートされていません。";
    case ERROR_FILE_EXISTS:
        return "ファイルがあります。";
    case ERROR_INVALID_PARAMETER:
        return "パラメーターが間違っています。";
    case ERROR_DISK_FULL:
        return "ディスクに十分な空き領域がありません。";
    case ERROR_INVALID_NAME:
        return "ファイル名、ディレクトリ名、またはボリューム ラベルの構文が間違っています。";
    case ERROR_DIR_NOT_EMPTY:
        return "ディレクトリが空ではありません。";
    case ERROR_BUSY:
        return "要求したリソースは使用中です。";
    case ERROR_ALREADY_EXISTS:
        return "既に存在するファイルを作成することはできません。";
    case ERROR_FILENAME_EXCED_RANGE:
        return "ファイル名または拡張子が長すぎます。";
    case ERROR_FILE_TOO_LARGE:
        return "ファイルのサイズが、このシステムでサポートされている範囲を超えています。";
    case ERROR_DIRECTORY:
        return "ディレクトリ名が無効です。";
    case ERROR_NO_UNICODE_TRANSLATION:
        return "マルチバイトのターゲット コード ページに、Unicode 文字のマップがありません。";
    case ERROR_IO_DEVICE:
        return "I/O デバイス エラーが発生したため、要求を実行できませんでした。";
    case ERROR_DISK_QUOTA_EXCEEDED:
        return "ディスク クォータを超えました。";
    case ERROR_CANT_RESOLVE_FILENAME:
        return "ファイル名を解決できません。";
    default:
        return {};
    }
}
