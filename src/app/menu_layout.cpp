#include "app/menu_layout.h"

#include <map>

namespace almx {

namespace {

MenuItem Sub(const char* title, std::vector<MenuItem> items) {
    return MenuItem{0, title, std::move(items)};
}

std::vector<MenuItem> Ids(std::initializer_list<int> ids) {
    std::vector<MenuItem> items;
    for (int id : ids) items.push_back(MenuItem{id, nullptr, {}});
    return items;
}

std::vector<MenuItem> Join(std::initializer_list<std::vector<MenuItem>> parts) {
    std::vector<MenuItem> items;
    for (const auto& part : parts) items.insert(items.end(), part.begin(), part.end());
    return items;
}

constexpr const char* kFile = "ファイル(&F)";
constexpr const char* kEdit = "編集(&E)";
constexpr const char* kView = "表示(&V)";
constexpr const char* kOptions = "オプション(&O)";
constexpr const char* kWindow = "ウィンドウ(&W)";
constexpr const char* kHelp = "ヘルプ(&H)";

std::vector<MenuItem> ExchangeItems() {
    return {Sub("エクスポート(&X)", Ids({32970, 32971, 0, 32974, 32975})),
            Sub("インポート(&I)", Ids({32972, 32973, 0, 32986, 32987}))};
}

std::vector<MenuItem> FileMenu() {
    return Join({Ids({57600, 57601, 57602, 57603, 57604, 0, 32885, 32858, 0, 32901, 32981, 32904,
                      32980, 32874, 32977}),
                 ExchangeItems(), Ids({0, 57607, 57609, 57606, 32786, 0, kRecentFiles, 0, 57665})});
}

std::vector<MenuItem> WindowMenu() {
    return Ids({32783, 32793, 32780, 32897, 32794, 32935, 32833, 0, 57648, 57650, 57651, 57652,
                57649, 0, kWindowList});
}

std::vector<MenuItem> HelpMenu() {
    return Ids({57667, 32815, 57668, 0, 32792, 32865, 34004, 34005, 0, 57664});
}

std::vector<MenuItem> BarsItems() {
    return Ids({59392, 32877, 59393});
}

std::vector<MenuItem> NavigationItems() {
    return Ids(
        {32776, 32777, 32772, 32773, 32769, 32770, 32909, 32910, 0, 32771, 32775, 32774, 32902});
}

std::vector<MenuItem> ColourItems() {
    return {Sub("色(&C)", Join({Ids({32816, 32892}),
                                {Sub("選択色(&S)", Ids({32881, 32882, 32883, 0, 32817}))},
                                Ids({32818, 32863, 32949, 32950, 32841})}))};
}

std::vector<MenuItem> SettingsItems() {
    return Join({Ids({32890, 32859, 32906, 32908, 32976, 32860, 0}),
                 {Sub("起動時の表示(&S)", Ids({32800, 32801, 32802, 32899, 0, 32803, 32806}))},
                 {Sub("日記(&D)", Ids({32831, 32861, 0, 32862, 32946}))},
                 {Sub("リンクファイル(&L)", Ids({32830, 32905, 32886}))},
                 Ids({0, 32911, 32913})});
}

std::vector<MenuSpec> MonthMenus() {
    return {
        {kFile, FileMenu()},
        {kEdit, Ids({57635, 57634, 57637, 0,     32836, 32784, 0,     32781, 32846, 32768,
                     32782, 0,     32842, 32843, 0,     32878, 32879, 32966, 32893, 32894,
                     0,     32791, 32898, 32829, 32875, 32961, 32982, 0,     57636, 32822,
                     32823, 32941, 0,     32840, 0,     32958, 32962, 32983, 32984, 32985})},
        {kView, Join({Ids({32845, 0}), NavigationItems(), Ids({0, 32853, 32852, 0}), BarsItems()})},
        {kOptions, Join({Ids({32837, 0}),
                         {Sub("フォント(&F)", Ids({32857, 32785, 32778, 32779, 32827}))},
                         ColourItems(),
                         Ids({32884, 0}),
                         {Sub("年月の表示(&Y)", Ids({32788, 32789, 32790}))},
                         {Sub("時刻の表示(&I)", Ids({32921, 32922, 32923, 32924, 32925}))},
                         {Sub("ToDoの表示(&T)", Ids({32820, 32821, 0, 32889, 32895}))},
                         Ids({32855, 32832, 32856, 32891, 32964, 32926}),
                         {Sub("▼マーク(&M)", Ids({32951, 32952, 32953}))},
                         {Sub("スケジュールリスト(&L)", Ids({32828, 32866, 32867}))},
                         Ids({0}),
                         SettingsItems()})},
        {kWindow, WindowMenu()},
        {kHelp, HelpMenu()},
    };
}

std::vector<MenuSpec> WeekMenus() {
    return {
        {kFile, FileMenu()},
        {kEdit, Ids({57635, 57634, 57637, 0,     32836, 32784, 0,     32781, 32846,
                     32768, 32782, 0,     32878, 32879, 32966, 0,     32791, 32829,
                     32875, 32958, 0,     57636, 32822, 32823, 32941, 0,     32840})},
        {kView, Join({NavigationItems(), Ids({0}), BarsItems()})},
        {kOptions, Join({Ids({32837, 0}),
                         {Sub("フォント(&F)", Ids({32785, 32778, 32779}))},
                         ColourItems(),
                         {Sub("時刻の表示(&I)", Ids({32921, 32922, 32923, 32924, 32925}))},
                         {Sub("ToDoの表示(&T)", Ids({32820, 32821, 0, 32889}))},
                         Ids({32855, 32832, 32856}),
                         {Sub("スケジュールリスト(&L)", Ids({32828}))},
                         Ids({32824, 0}),
                         SettingsItems()})},
        {kWindow, WindowMenu()},
        {kHelp, HelpMenu()},
    };
}

std::vector<MenuSpec> ListMenus(std::vector<MenuItem> fileItems, std::vector<MenuItem> editItems) {
    return {
        {kFile, std::move(fileItems)}, {kEdit, std::move(editItems)},
        {kView, BarsItems()},          {kOptions, Join({Ids({32837, 0}), SettingsItems()})},
        {kWindow, WindowMenu()},       {kHelp, HelpMenu()},
    };
}

MenuItem Labelled(int id, const char* text) {
    return MenuItem{id, nullptr, {}, text};
}

// The diary view's menus: its own labels on the ids of the same actions.
std::vector<MenuSpec> DiaryMenus() {
    std::vector<MenuSpec> menus = ListMenus(
        {Labelled(57600, nullptr), Labelled(57601, nullptr), Labelled(57602, nullptr),
         Labelled(57603, nullptr), Labelled(57604, nullptr), MenuItem{},
         Labelled(32901, "HTMLファイル出力(&H)..."), MenuItem{}, Labelled(57607, nullptr),
         Labelled(57609, nullptr), Labelled(57606, nullptr), MenuItem{},
         Labelled(kRecentFiles, nullptr), MenuItem{}, Labelled(57665, nullptr)},
        {Labelled(57635, nullptr), Labelled(57634, nullptr), Labelled(57637, nullptr), MenuItem{},
         Labelled(32768, "編集(&E)..."), MenuItem{}, Labelled(32781, "スケジュールの追加(&A)..."),
         Labelled(32846, "TODOの追加(&B)..."), Labelled(32782, "削除(&D)..."),
         Labelled(32842, "スケジュールを一つ上へ(&U)"),
         Labelled(32843, "スケジュールを一つ下へ(&W)"), Labelled(32829, "リンクファイルを開く(&L)"),
         MenuItem{}, Labelled(32791, nullptr), Labelled(32898, "この日の日記の削除(&X)..."),
         MenuItem{}, Labelled(32941, "検索リスト(&S)...")});
    menus[2].items =
        Join({{Labelled(32776, "次の日へ(&A)"), Labelled(32777, "前の日へ(&B)"),
               Labelled(32772, "次の週へ(&W)"), Labelled(32773, "前の週へ(&X)"),
               Labelled(32769, "次の月へ(&N)"), Labelled(32770, "前の月へ(&P)"),
               Labelled(32909, "次の年へ(&Y)"), Labelled(32910, "前の年へ(&Z)"), MenuItem{},
               Labelled(32775, "今日へ移動(&O)"), Labelled(32774, "指定日数後へ(&D)..."),
               Labelled(32771, "指定の日付へ(&M)..."), MenuItem{}},
              BarsItems()});
    menus[3].items = Join(
        {{Sub("フォント(&F)", {Labelled(32779, "本文(&T)...")})},
         {Sub("時刻の表示(&I)", {Labelled(32921, "データ毎の設定(&D)"), Labelled(32922, nullptr),
                                 Labelled(32923, nullptr), Labelled(32924, nullptr),
                                 Labelled(32925, "表示しない(&N)")})},
         Ids({0}),
         SettingsItems()});
    return menus;
}

std::vector<MenuSpec> BuildMenus(MenuSet set) {
    switch (set) {
        case MenuSet::NoDocument:
            return {
                {kFile, Ids({57600, 57601, 0, 57606, 0, kRecentFiles, 0, 57665})},
                {kView, BarsItems()},
                {kHelp, HelpMenu()},
            };
        case MenuSet::Month:
            return MonthMenus();
        case MenuSet::Week:
            return WeekMenus();
        case MenuSet::Todo: {
            std::vector<MenuSpec> menus =
                ListMenus(Ids({57600, 57601, 57602, 57603, 57604, 0, 32971, 32973, 0, 57607, 57609,
                               57606, 0, kRecentFiles, 0, 57665}),
                          Ids({32846, 32768, 32782, 0, 32829}));
            // The list's order, deadline display, fonts and colours; 32785 is the title font
            // here.
            menus[2].items = Join({BarsItems(),
                                   Ids({0, 32844, 32854, 0}),
                                   {MenuItem{32785, nullptr, {}, "タイトルのフォント(&T)..."}},
                                   Ids({32870, 0, 32871, 32872, 32816})});
            return menus;
        }
        case MenuSet::Diary:
            return DiaryMenus();
        case MenuSet::Memo: {
            std::vector<MenuSpec> menus =
                ListMenus(Ids({57600, 57601, 57602, 57603, 57604, 0, 57607, 57609, 57606, 0,
                               kRecentFiles, 0, 57665}),
                          Ids({57643, 0, 57635, 57634, 57637, 57642, 0, 32990, 32991, 32992, 32994,
                               0, 57636, 57641, 32822, 32823, 32995}));
            menus[3].items.insert(menus[3].items.begin(), {MenuItem{32993, nullptr, {}}});
            return menus;
        }
        case MenuSet::SearchList: {
            std::vector<MenuSpec> menus =
                ListMenus(Ids({57600, 57601, 57602, 57603, 57604, 0, 32958, 32916, 0, 57607, 57609,
                               57606, 0, kRecentFiles, 0, 57665}),
                          Ids({57635, 57634, 57637, 0, 32781, 32846, 32768, 32782, 0, 32829, 0,
                               32938, 32947, 32941}));
            menus[2].items = Join({Ids({32937, 0, 32936, 32785, 32871, 32872, 0}), BarsItems()});
            return menus;
        }
    }
    return {};
}

void Collect(const std::vector<MenuItem>& items, std::vector<int>& ids) {
    for (const MenuItem& item : items) {
        if (item.submenu) {
            Collect(item.items, ids);
        } else if (item.id > 0) {
            ids.push_back(item.id);
        }
    }
}

constexpr int kToolBar[] = {
    57600, 57601, 57603, 0,     57607, 0,     57637, 0,     32770, 32773, 0,     32775, 0,    32772,
    32769, 0,     32781, 32768, 0,     32782, 0,     32783, 32793, 32780, 32897, 32794, 0,    57636,
    32822, 32823, 32941, 0,     32791, 32829, 0,     32842, 32843, 0,     32908, 0,     57667};

}  // namespace

const std::vector<MenuSpec>& MenuLayout(MenuSet set) {
    static const std::map<MenuSet, std::vector<MenuSpec>> layouts = [] {
        std::map<MenuSet, std::vector<MenuSpec>> all;
        for (MenuSet s : {MenuSet::NoDocument, MenuSet::Month, MenuSet::Week, MenuSet::Todo,
                          MenuSet::Diary, MenuSet::Memo, MenuSet::SearchList}) {
            all[s] = BuildMenus(s);
        }
        return all;
    }();
    return layouts.at(set);
}

std::span<const int> ToolBarLayout() {
    return kToolBar;
}

std::vector<int> MenuCommandIds(MenuSet set) {
    std::vector<int> ids;
    for (const MenuSpec& menu : MenuLayout(set)) Collect(menu.items, ids);
    return ids;
}

}  // namespace almx
