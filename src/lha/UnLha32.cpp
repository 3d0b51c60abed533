#include "lha/UnLha32.h"

#include <cstdio>
#include <map>

namespace {

using UnlhaFunc = int (*)(void*, const char*, char*, uint32_t);
using UnlhaGetVersionFunc = uint16_t (*)();

const std::map<int32_t, const char*>& ErrorTable() {
    static const std::map<int32_t, const char*> table = {
        {0x0000, "エラーはありません"}, // no error
        {0x8005,
         "解凍する為のディスクの空きが足りません。"},       // not enough free disk space to extract
        {0x8006, "解凍先のファイルはリードオンリーです。"}, // the destination file is read-only
        {0x8007, "ユーザーによって解凍をスキップされました。"},   // extraction skipped by the user
        {0x800C, "格納ファイルのチェックサムが合っていません。"}, // checksum of a stored file does
                                                                  // not match
        {0x800D,
         "解凍時にファイルを開けませんでした。"}, // a file could not be opened while extracting
        {0x800E,
         "より新しいファイルが解凍先に存在しています。"}, // a newer file exists at the destination
        {0x800F,
         "ファイルは解凍先に存在していません。"},   // the file does not exist at the destination
        {0x8012, "ディレクトリが作成できません。"}, // a directory cannot be created
        {0x8013, "解凍中に書き込みエラーが生じました。"}, // write error while extracting
        {0x8014,
         "LZH ファイルのハフマンコードが壊れています。"}, // Huffman code of the LZH file is broken
        {0x8015, "LZH ファイルのコメントヘッダが壊れています。"}, // comment header of the LZH file
                                                                  // is broken
        {0x8016, "LZH ファイルのヘッダのチェックサムが合っていません。"}, // header checksum of the
                                                                          // LZH file does not match
        {0x8017, "LZH ファイルのヘッダが壊れています。"},   // header of the LZH file is broken
        {0x8018, "LZH ファイルを開く事が出来ません。"},     // the LZH file cannot be opened
        {0x8019, "LZH ファイル名の指定がされていません。"}, // no LZH file name given
        {0x801A, "LZH ファイルの読み込み時に読み込みエラーが出ました。"}, // read error while
                                                                          // reading the LZH file
        {0x801B,
         "指定されたファイルは LZH ファイルではありません。"}, // the given file is not an LZH file
        {0x801C, "コマンド指定が間違っています。"},            // wrong command
        {0x801D, "作業用のためのヒープメモリが不足しています。"}, // not enough heap memory for work
        {0x801E, "グローバルメモリが不足しています。"},           // not enough global memory
        {0x801F, "既に UNLHA32.DLL が動作中です。"},              // UNLHA32.DLL is already busy
        {0x8020, "ユーザーによって解凍を中断されました。"}, // extraction cancelled by the user
        {0x8021, "UnlhaOpenArchive() で書庫ファイルとハンドルを関連付ける前に \nUnlha-FindFirst() "
                 "等の API を使用しました。"}, // search calls used before an archive was opened
        {0x8022, "UnlhaFindFirst() を使用する前に UnlhaFindNext() "
                 "が呼ばれた。\nまたは，これらを呼び出す前に UnlhaGetFileName() 等の API "
                 "が呼ばれた。"}, // search calls in the wrong order
        {0x8023, "UNLHA32.DLL でサポートされていない API が使用されました。"}, // unsupported call
        {0x8024, "日付及び時間の指定形式が間違っています。"}, // wrong date and time format
        {0x8025, "作業ファイルがオープンできません。"},       // work file cannot be opened
        {0x8026, "ディレクトリのパスが長すぎます。"},         // directory path too long
        {0x8027,
         "書き込み専用属性の書庫ファイルに対する操作はできません。"}, // no operation on an archive
                                                                      // marked write-only
        {0x8028, "すでに同じ名前のファイルが書庫に格納されています。"}, // a file of the same name
                                                                        // is already stored
        {0x8029,
         "指定されたディレクトリには LZH ファイルがありませんでした。"}, // no LZH file in the given
                                                                         // directory
        {0x802A, "レスポンスファイルの読み込み時にエラーが発生しました。"}, // error reading the
                                                                            // response file
        {0x802B, "ファイル名の指定が必要です。"},                    // a file name is required
        {0x802E, "UNLHA32.DLLが見つからないか、ロードできません。"}, // UNLHA32.DLL not found or
                                                                     // cannot be loaded
        {0x802F, "指定されたﾌｧﾝｸｼｮﾝが呼び出せません。"}, // the named function cannot be called
    };
    return table;
}

} // namespace

std::string LhaErrorText(int32_t code) {
    auto it = ErrorTable().find(code);
    return it != ErrorTable().end() ? it->second : "未知のエラーです．";
}

void ThrowLhaError(int32_t code, const std::string& step) {
    throw CUnLha32Exception(LhaErrorText(code), step, code);
}

bool IsLhaDllAvailable(const std::string& libraryName) {
    CDynamicLibrary library;
    return library.Load(libraryName); // unloaded again by the destructor
}

std::string LhaVersionText(uint16_t version) {
    if (version == 0)
        return "取得不可";
    char text[32];
    std::snprintf(text, sizeof text, "Ver %d.%2d", version / 100, version % 100);
    return text;
}

std::string LhaDllVersionText(const std::string& libraryName) {
    if (!IsLhaDllAvailable(libraryName))
        return "DLLなし";
    try {
        CUnLha32 lha(libraryName);
        return LhaVersionText(lha.GetLhaVersion());
    } catch (const CUnLha32Exception&) {
        // A library that loads but cannot tell its version.
        return LhaVersionText(0);
    }
}

CUnLha32::CUnLha32(std::string libraryName) : m_strLibraryName(std::move(libraryName)) {}

CUnLha32::~CUnLha32() {
    FreeLhaDll();
}

void CUnLha32::LoadLhaDll() {
    if (!m_library.Load(m_strLibraryName))
        ThrowLhaError(LHA_ERROR_DLL_NOT_FOUND, "LoadLhaDll");
}

void* CUnLha32::GetFuncAddress(const std::string& name) {
    LoadLhaDll();
    void* address = m_library.Symbol(name);
    if (address == nullptr)
        ThrowLhaError(LHA_ERROR_NO_FUNCTION, "GetFuncAddress");
    return address;
}

uint16_t CUnLha32::GetLhaVersion() {
    auto func = reinterpret_cast<UnlhaGetVersionFunc>(GetFuncAddress("UnlhaGetVersion"));
    return func();
}

int32_t CUnLha32::CallUnlha(void* hwnd, const std::string& cmdLine, char* output,
                            uint32_t outputSize) {
    auto func = reinterpret_cast<UnlhaFunc>(GetFuncAddress("Unlha"));
    return func(hwnd, cmdLine.c_str(), output, outputSize);
}

void CUnLha32::FreeLhaDll() {
    m_library.Unload();
}
