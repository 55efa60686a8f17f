#pragma once

// Control and menu identifiers of the main window; tests reach the controls
// through them.
namespace main_form {

enum ControlId : int {
    kQueryMode = 101,  // CheckBox6 "查询模式"
    kUnsubmitted,      // CheckBox1
    kSubmitted,        // CheckBox5
    kUnfinished,       // CheckBox2
    kFinished,         // CheckBox3
    kRecentOnly,       // CheckBox4
    kDays,             // Edit1
    kSystemMenu,       // "系统设置"
    kList,
    kConnectScanner,   // "连接扫描枪"
    kNewRecord,        // "录入登记"
    kEditRecord,       // "编辑记录"
    kSearch,           // "查询"
    kDelete,           // "删除"
    kExportList,       // "导出列表"
    kExit,             // "退出"
    kStatusBar,
    kBannerTitle,
    kBannerPicture,
    kBannerNotice,
    kBannerLink,
    kOverdueOnly,      // "仅显示超期未办结"
    kStatistics,       // "统计"
};

enum MenuId : int {
    kMenuNewRecord = 201,  // "收文录入"
    kMenuEditSelected,     // "编辑选定"
    kMenuDeleteSelected,   // "删除选定"
    kMenuClearAll,         // "全部清空"
    kMenuSettings,         // "设置"
    kMenuBackup,           // "备份"
    kMenuRestore,          // "恢复"
    kMenuHelp,             // "帮助"
    kMenuAbout,            // "关于"
    kMenuHistoryLog,       // "操作日志"
    kMenuRecycleBin,       // "回收站"
};

}  // namespace main_form
