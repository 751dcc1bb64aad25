#include "app/CommandTable.h"

using Av = CommandTable::Availability;

const QList<CommandTable::Menu> &CommandTable::menus()
{
    static const QList<Menu> list = {
        {"m_menu", "ﾌｧｲﾙ(&F)"},   {"m_edit", "編集(&E)"},
        {"m_view", "表示(&V)"},    {"m_navi", "ﾅﾋﾞｹﾞｰｼｮﾝ(&N)"},
        {"m_win", "ｳｨﾝﾄﾞｳ(&W)"},
    };
    return list;
}

const QList<CommandTable::Item> &CommandTable::items()
{
    static const QList<Item> list = {
        {"m_mnew", "m_menu", "新規作成(&N)", QKeySequence("Ctrl+N"), "t_new", "新規作成", Av::Always},
        {"m_mtemp", "m_menu", "ﾃﾝﾌﾟﾚｰﾄを開く(&T)", {}, "t_temp", "ﾃﾝﾌﾟﾚｰﾄを開く", Av::Always},
        {"m_mopen", "m_menu", "ﾌｧｲﾙを開く(&O)", QKeySequence("Ctrl+O"), "t_open", "開く", Av::Always},
        {"m_msave", "m_menu", "ﾌｧｲﾙの保存(&S)", QKeySequence("Ctrl+S"), "t_save", "保存",
         Av::Document},
        {"m_msaas", "m_menu", "名前を付けて保存(&A)", {}, "t_name", "名前を付けて保存", Av::Document},
        {"m_mutf8", "m_menu", "UTF-8 で書き出し(&U)...", {}, {}, {}, Av::Document},
        {"m_mclos", "m_menu", "ﾌｧｲﾙを閉じる(&C)", {}, {}, {}, Av::Document},
        {"lm3", "m_menu", {}, {}, {}, {}, Av::Always},
        {"m_msite", "m_menu", "サイトを開く(&D)...", {}, {}, {}, Av::Always},
        {"m_mslnk", "m_menu", "サイトのリンクチェック(&L)", {}, {}, {}, Av::Always},
        {"m_msfnd", "m_menu", "サイト内を検索(&K)...", {}, {}, {}, Av::Always},
        {"m_msutf", "m_menu", "サイトを UTF-8 で書き出し(&E)...", {}, {}, {}, Av::Always},
        {"lm1", "m_menu", {}, {}, {}, {}, Av::Always},
        {"m_mrel", "m_menu", "再読み込み(&R)", {}, {}, {}, Av::Document},
        {"m_minf", "m_menu", "ﾌｧｲﾙｲﾝﾌｫﾒｰｼｮﾝ(&I)", {}, {}, {}, Av::Document},
        {"lm2", "m_menu", {}, {}, {}, {}, Av::Always},
        {"m_mwin", "m_menu", "ｳｨﾝﾄﾞｳｻｲｽﾞ(&W)", {}, {}, {}, Av::Always},
        {"m_mexit", "m_menu", "終了(&X)", QKeySequence("Ctrl+Q"), "t_exit", {}, Av::Always},

        {"m_eund", "m_edit", "元に戻す(&U)", QKeySequence("Ctrl+Z"), "t_load", "編集を戻す",
         Av::Document},
        {"le1", "m_edit", {}, {}, {}, {}, Av::Always},
        {"m_etag", "m_edit", "定型TAGの挿入", QKeySequence("Ctrl+T"), "t_tag", "TAG挿入",
         Av::Document},
        {"m_eime", "m_edit", "i-mode絵文字の挿入", QKeySequence("Ctrl+I"), "t_ime", "絵文字挿入",
         Av::DocumentWithPictographs},
        {"m_efon", "m_edit", "ﾌｫﾝﾄ設定(&F)", {}, {}, {}, Av::Never},
        {"m_ecol", "m_edit", "ｶﾗｰﾊﾟﾚｯﾄ(&C)", QKeySequence("Ctrl+P"), "t_pall", "ｶﾗｰﾊﾟﾚｯﾄ",
         Av::Document},
        {"m_ezth", "m_edit", "全角カタカナ ⇒ 半角ｶﾀｶﾅ変換", {}, {}, {}, Av::Document},
        {"le2", "m_edit", {}, {}, {}, {}, Av::Always},
        {"m_efind", "m_edit", "検索(&F)...", QKeySequence("Ctrl+F"), {}, {}, Av::Document},
        {"m_enext", "m_edit", "次を検索", QKeySequence("F3"), {}, {}, Av::Document},
        {"m_eprev", "m_edit", "前を検索", QKeySequence("Shift+F3"), {}, {}, Av::Document},
        {"m_erepl", "m_edit", "置換(&R)...", QKeySequence("Ctrl+H"), {}, {}, Av::Document},
        {"m_egoto", "m_edit", "行へ移動(&G)...", QKeySequence("Ctrl+G"), {}, {}, Av::Document},

        {"m_vtag", "m_view", "TAGｶﾗｰ(&C)", QKeySequence("F11"), "2:8", "TAGｶﾗｰ", Av::Document},
        {"m_vtcl", "m_view", "TAGｶﾗｰの取得(&T)", {}, {}, {}, Av::Always},
        {"m_vpre", "m_view", "ﾌﾟﾚﾋﾞｭｰ(&P)", QKeySequence("F12"), "2:7", "ﾌﾟﾚﾋﾞｭｰ", Av::Document},
        {"m_vrpr", "m_view", "ﾘｱﾙﾀｲﾑﾌﾟﾚﾋﾞｭｰ(&R)", {}, {}, {}, Av::Always},
        {"lv1", "m_view", {}, {}, {}, {}, Av::Always},
        {"m_vb08", "m_view", "i-mode 8文字相当(&8)", {}, {}, {}, Av::Always},
        {"m_vb10", "m_view", "i-mode 10文字相当(&0)", {}, {}, {}, Av::Always},
        {"m_vtyui", "m_view", "※注意", {}, {}, {}, Av::Always},
        {"lv2", "m_view", {}, {}, {}, {}, Av::Always},
        {"m_vchk", "m_view", "機種チェック(&K)", QKeySequence("F9"), {}, {}, Av::Always},

        {"m_nback", "m_navi", "戻る(&B)", {}, "2:1", "戻る", Av::Always},
        {"m_nnext", "m_navi", "次へ(&N)", {}, "2:2", "次へ", Av::Always},
        {"m_nstop", "m_navi", "中止(&S)", {}, "2:4", "中止", Av::Always},
        {"m_nrefr", "m_navi", "最新の情報に更新(&R)", {}, "2:5", "更新", Av::Always},
        {"ln1", "m_navi", {}, {}, {}, {}, Av::Always},
        {"m_nhome", "m_navi", "ﾎｰﾑへ(&H)", {}, {}, {}, Av::Always},

        {"m_wt", "m_win", "上下に並べて表示(&H)", {}, "t_winV", "上下に並べて表示", Av::Document},
        {"m_wy", "m_win", "左右に並べて表示(&V)", {}, "t_winH", "左右に並べて表示", Av::Document},
        {"m_wc", "m_win", "重ねて表示(&C)", {}, "t_winC", "重ねて表示", Av::Document},
        {"lw1", "m_win", {}, {}, {}, {}, Av::Always},
        {"m_wclose", "m_win", "全て閉じる(&A)", {}, {}, {}, Av::Document},
    };
    return list;
}

const QStringList &CommandTable::toolbar1Keys()
{
    static const QStringList keys = {"t_exit", "",       "t_new", "t_temp", "t_open", "t_save",
                                     "t_name", "",       "t_load", "t_tag", "t_ime",  "t_pall",
                                     "",       "t_winV", "t_winH", "t_winC"};
    return keys;
}

const QStringList &CommandTable::toolbar2Keys()
{
    static const QStringList keys = {"back", "forward", "", "stop", "reload", "", "t_pre", "t_col"};
    return keys;
}

QString CommandTable::toolbar2Tip(int position)
{
    const Item *item = find(itemForPosition(position));
    return item ? item->toolTip : QString();
}

QString CommandTable::buttonName(const Item &item)
{
    if (!item.button.startsWith(QLatin1String("2:")))
        return item.button;
    const int position = item.button.mid(2).toInt();
    return position >= 7 ? toolbar2Keys().at(position - 1) : QStringLiteral("Toolbar2_%1").arg(position);
}

QString CommandTable::itemForButton(const QString &key)
{
    for (const Item &item : items())
        if (item.button == key)
            return item.name;
    return {};
}

QString CommandTable::itemForPosition(int position)
{
    return itemForButton(QStringLiteral("2:%1").arg(position));
}

const CommandTable::Item *CommandTable::find(const QString &name)
{
    for (const Item &item : items())
        if (item.name == name)
            return &item;
    return nullptr;
}
