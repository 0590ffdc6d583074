#include "browser/menu.h"
#include "browser/main_window.h"

namespace tovn {

namespace {

struct Item {
    int id;
    const wchar_t* caption;
    WORD key;
    unsigned shift;
};

const Item kFile[] = {{idR1, L"ﾃﾞｨﾚｸﾄﾘ変更", 'H', 0},
                      {idK2, L"&Open LZHﾌｧｲﾙ", 'O', 0},
                      {idK1, L"表示数変更", 0, 0},
                      {0, nullptr, 0, 0},
                      {idExit1, L"終了(Q)", 'Q', 0}};
const Item kCommand[] = {{idCopy1, L"ｺﾋﾟｰ・解凍 (C)", 'C', 0},
                         {idD1, L"削除 (D)", 'D', 0},
                         {idEdit1, L"ｴﾃﾞｨｯﾄ (E)", 'E', 0},
                         {idFullReal1, L"表示ｻｲｽﾞ切替 (F)", 'F', 0},
                         {idInsertSpace1, L"空白挿入 (I)", 'I', 0},
                         {idMakeDirectory1, L"ﾃﾞｨﾚｸﾄﾘ作成 (K)", 'K', 0},
                         {idM1, L"移動 (M)", 'M', 0},
                         {idN2, L"連番ﾘﾈｰﾑ (N)", 'N', 0},
                         {idNomalReName1, L"ﾘﾈｰﾑ (Shift+N)", 'N', ssShift},
                         {idPack1, L"圧縮 (P)", 'P', 0},
                         {idS1, L"ｿｰﾄ (S)", 'S', 0},
                         {0, nullptr, 0, 0},
                         {idConvertBMP1, L"BMP ｺﾝﾊﾞｰﾄ", 0, 0}};
const Item kMode[] = {{idSlide1, L"ｽﾗｲﾄﾞ (SHIFT+RET)", VK_RETURN, ssShift},
                      {idN5, L"ｿｰﾄ (DEL)", 0, 0},
                      {idN6, L"ｷｬﾌﾟﾁｬｰ", 0, 0}};
const Item kHelp[] = {
    {idHelp2, L"ﾍﾙﾌﾟ", 0, 0}, {0, nullptr, 0, 0}, {idVersionInfo1, L"ﾊﾞｰｼﾞｮﾝ情報", 0, 0}};

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

template <size_t N> bool Lookup(const Item (&items)[N], int id, WORD& key, unsigned& shift) {
    for (const Item& i : items) {
        if (i.id == id && i.caption) {
            key = i.key;
            shift = i.shift;
            return true;
        }
    }
    return false;
}

} // namespace

HMENU BuildMainMenu(HMENU* sortItem) {
    HMENU bar = ::CreateMenu();
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kFile)), L"ﾌｧｲﾙ");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kCommand)), L"ｺﾏﾝﾄﾞ");
    HMENU mode = Popup(kMode);
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(mode), L"ﾓｰﾄﾞ");
    ::AppendMenuW(bar, MF_STRING, idO1, L"ｵﾌﾟｼｮﾝ");
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(Popup(kHelp)), L"ﾍﾙﾌﾟ");
    if (sortItem) *sortItem = mode;
    return bar;
}

WORD MenuKey(int id, unsigned* shift) {
    WORD key = 0;
    unsigned s = 0;
    Lookup(kFile, id, key, s) || Lookup(kCommand, id, key, s) || Lookup(kMode, id, key, s) ||
        Lookup(kHelp, id, key, s);
    if (shift) *shift = s;
    return key;
}

} // namespace tovn
