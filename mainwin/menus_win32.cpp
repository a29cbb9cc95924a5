#include "mainwin/menus_win32.h"

#include <iterator>

#include "core/product.h"

namespace vitrell {

UniqueMenu BuildMenuTree() {
    UniqueMenu bar(CreateMenu());
    UniqueMenu total(CreatePopupMenu());
    UniqueMenu help(CreatePopupMenu());
    UniqueMenu option(CreatePopupMenu());
    UniqueMenu file(CreatePopupMenu());
    if (!bar || !total || !help || !option || !file)
        return UniqueMenu();
    // A failed append only leaves that item out; the rest of the tree still works.
    const auto add = [](HMENU menu, UINT flags, UINT_PTR id, const wchar_t* text) {
        (void)AppendMenuW(menu, flags, id, text);
    };
    add(help.get(), MF_STRING, kCmdHelpKeyWord0, L"ﾄﾋﾟｯｸの検索(&H)\tF1");
    add(help.get(), MF_STRING, kCmdHelpKeyWord1, L"目次(&C)");
    add(help.get(), MF_SEPARATOR, 0, nullptr);
    add(help.get(), MF_STRING, kCmdHelpAbout, L"ﾊﾞｰｼﾞｮﾝ情報(&A)...");
    add(option.get(), MF_STRING, kCmdOptSettei, L"各種設定(&K)...\tCtrl+K");
    add(file.get(), MF_STRING | MF_GRAYED, kCmdShowHide0, L"ﾌｫｰﾑの表示(&S)");
    add(file.get(), MF_STRING, kCmdShowHide1, L"ﾌｫｰﾑのｱｲｺﾝ化(&I)\tCtrl+I");
    add(file.get(), MF_SEPARATOR, 0, nullptr);
    add(file.get(), MF_STRING, kCmdFileEnd, L"ビトレル の終了(&X)...");
    // Each drop-down now belongs to the menu it is appended to, and goes with it.
    add(total.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(help.release()), L"ﾍﾙﾌﾟ(&H)");
    add(total.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(option.release()), L"ｵﾌﾟｼｮﾝ(&O)");
    add(total.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(file.release()), L"ﾌｧｲﾙ(&F)");
    add(bar.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(total.release()), L"総合ﾒﾆｭｰ(&M)");
    return bar;
}

UniqueAccelerators BuildShortcuts() {
    ACCEL keys[] = {
        {FVIRTKEY, VK_F1, static_cast<WORD>(kCmdHelpKeyWord0)},
        {FVIRTKEY | FCONTROL, 'K', static_cast<WORD>(kCmdOptSettei)},
        {FVIRTKEY | FCONTROL, 'I', static_cast<WORD>(kCmdShowHide1)},
    };
    return UniqueAccelerators(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
}

}  // namespace vitrell
