#include "browser/menu.h"

namespace tovn {

namespace {

struct Item {
    int id;
    const wchar_t* caption;
};

const Item kFile[] = {{idR1, L"ﾃﾞｨﾚｸﾄﾘ変更"},
                      {idK2, L"&Open LZHﾌｧｲﾙ"},
                      {idK1, L"表示数変更"},
                      {0, nullptr},
                      {idExit1, L"終了(Q)"}};
const Item kCommand[] = {{idCopy1, L"ｺﾋﾟｰ・解凍 (C)"},
                         {idD1, L"削除 (D)"},
                         {idEdit1, L"ｴﾃﾞｨｯﾄ (E)"},
                         {idFullReal1, L"表示ｻｲｽﾞ切替 (F)"},
                         {idInsertSpace1, L"空白挿入 (I)"},
                         {idMakeDirectory1, L"ﾃﾞｨﾚｸﾄﾘ作成 (K)"},
                         {idM1, L"移動 (M)"},
                         {idN2, L"連番ﾘﾈｰﾑ (N)"},
                         {idNomalReName1, L"ﾘﾈｰﾑ (Shift+N)"},
                         {idPack1, L"圧縮 (P)"},
                         {idS1, L"ｿｰﾄ (S)"},
                         {0, nullptr},
                         {idConvertBMP1, L"BMP ｺﾝﾊﾞｰﾄ"}};
const Item kMode[] = {{idSlide1, L"ｽﾗｲﾄﾞ (SHIFT+RET)"}, {idN5, L"ｿｰﾄ (DEL)"}, {idN6, L"ｷｬﾌﾟﾁｬｰ"}};
const Item kHelp[] = {{idHelp2, L"ﾍﾙﾌﾟ"}, {0, nullptr}, {idVersionInfo1, L"ﾊﾞｰｼﾞｮﾝ情報"}};

template <size_t N> HMENU Popup(const Item (&items)[N]) {
    HMENU m = ::CreatePopupMenu();
    for (const Item& i : items) {
        if (i.caption)
            ::AppendMenuW(m, MF_STRING, i.id, i.caption);
        else
            ::AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    }
    return m;
}

} // namespace

HMENU BuildMainMenu() {
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kFile)), L"ﾌｧｲﾙ");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kCommand)), L"ｺﾏﾝﾄﾞ");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kMode)), L"ﾓｰﾄﾞ");
    ::AppendMenuW(bar, MF_STRING, idO1, L"ｵﾌﾟｼｮﾝ");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kHelp)), L"ﾍﾙﾌﾟ");
    return bar;
}

} // namespace tovn
