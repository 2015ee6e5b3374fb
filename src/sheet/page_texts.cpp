#include "sheet/page_texts.h"

namespace vellora {

const char* const kPageTitles[5] = {"文件夹,文件", "杂项", "递归,其他", "输入/输出", "帮助"};
const char kBuildButtonText[] = "创建(&B) F3";
const char kExitButtonText[] = "退出(&X)";
const char kRecursionGroupTitle[] = "递归选项";

#define E(id, label, tip) {ControlId::id, label, tip, Chooser::kNone, nullptr}
#define C(id, chooser, label, button_tip, tip) {ControlId::id, label, tip, Chooser::chooser, button_tip}

const CControlText kControlTexts[kControlCount] = {
    C(kPath, kFolder, "选择文件夹(&F)", "选择一个要创建 html 文件的新文件夹",
      "要创建 html 文件的文件夹"),
    E(kFileSpec, "文件过滤(&S):",
      "包含在 html 文件中的文件.  使用分号分隔多个文件类型 (例如: *.txt;*.doc)."),
    C(kOutputFilename, kOutputFile, "输出文件(&O)", "选择一个新的输出文件",
      "生成的 html 文件的名称.  请按 F12 打开这个文件."),
    E(kTitle, "标题(&T):", "生成的 html 文件的标题 <title>"),
    C(kCustomHtmlFilename, kCustomFile, "自定义的HTML文件(&C)", "选择一个新的自定义 html 文件",
      "用于自定义 html 文件的名称.  编辑它请按 F11.  请查看帮助文档寻求更多信息."),
    E(kSkipFiles, "跳过这些文件(&K):", "跳过列表文件，例如 index.html;*.txt;*.dat"),
    C(kSkipFolders, kSkipFolder, "跳过这些文件夹(&P):", "选择一个新的文件夹分支来跳过",
      "在递归创建中要排除在外的文件夹. 分隔多个文件夹用 ';'"),
    E(kIncludeFilesize, "包含文件大小(&Z) ?", "如果选定，将显示文件大小"),
    E(kIncludeDate, "包含文件日期(&D) ?", "如果选定，日期将显示"),
    E(kIncludeTime, "包含文件时间(&I) ?", "如果选定，将包含文件时间"),
    E(kIncludeSummary, "在底部显示摘要(&S) ?", "如果选定，文件表会包含摘要统计"),
    E(kIncludeSubfolders, "包含文件夹链接(&L) ?", "如果选定，子文件夹列表将先于文件列表"),
    E(kSupressParentLink, "忽略父链接(&P) ?", "如果选定，文件夹表格中的父文件夹将没有链接"),
    E(kShowFolderNames, "显示文件夹名称(&F) ?",
      "使用可见前缀显示文件夹名称; 当创建一个递归的单一文件并首先排序文件夹时分隔链接"),
    E(kSizesByK, "文件大小用'K '显示(&K) ?", "显示文件大小用 1K 的倍数而不用 # 字节"),
    E(kSupressHeaders, "忽略列标题(&H)?", "如果选定，表格会没有列标题"),
    E(kSuppressExtensions, "忽略扩展名(&U) ?", "如果选定，文件链接将不显示扩展名"),
    E(kSuppressVisibleLinks, "忽略可见链接文字(&V) ?",
      "如果选定，链接会没有可见文字。仅在使用 <img src=... 链接到图像时有用"),
    E(kEuroDateStyle, "欧洲日期样式(&E) ?", "如果选定，日期会格式化为 DD/MM/YY"),
    E(kUseHtmlTitlesForLinks, "使用 HT&ML <title> 作为链接文字 ?",
      "如果选定，使用 html 标题替代链接的文件名"),
    E(kFullPathnameLinks, "显示链接的完整路径(&T) ?",
      "如果选定，链接将使用完整路径名称，例如 C:\\Windows\\system\\.  默认其包含相对路径，例如 "
      "\\system\\."),
    E(kReplaceIsoChars, "转换 &&() 为 ISO 字符(&C) ?",
      "转换为不标准的 HREF 字符 '&', '(' and ')' 到其 ISO 副本"),
    E(kHref20, "转换 HREF 空格为 %20 ?", "在 HREF 链接中使用 %20 替换所有的空格"),
    E(kXmlCompliant, "&XHTML 兼容输出 ?", "如果选定，生成的文件兼容 XHTML"),
    E(kInsertCommas, "在文件大小里插入逗号(&N) ?", "如果选定，文件大小将用逗号格式化"),
    E(kNonFunctionalLinks, "非功能链接(&O) ?", "如果选定，文件将没有链接。文件夹链接仍有效。"),
    E(kRecursiveBuild, "创建递归文件(处理时包含子文件夹)(&R)",
      "如果选定，位于所选文件夹下的所有文件夹将被处理"),
    E(kOnePagePerFolder, "每个文件夹生成一个 HTML 文件(&O)", "给文件夹分支中的每个文件夹创建一个文件"),
    E(kAllInOneFile, "在一个文件中显示所有链接(&A)", "创建一个文件，使之包含文件夹分支中的文件链接"),
    E(kFramedSite, "创建一个框架站点(&F)",
      "创建一个框架网页以及包含每个分支文件夹中文件链接的 html 文件"),
    E(kFolderAnchors, "包含文件夹锚点(&D)",
      "在文件夹表格之后创建一个匹配文件的文件夹锚点列表. 仅用于当创建递归 "
      "以及'在一个文件中显示所有链接并'首先给文件夹排序'的情况下."),
    E(kFileColumns, "文件列数(&I):", "文件表格的列数"),
    E(kFolderColumns, "文件夹列数(&C):", "文件夹表格的列数"),
};

#undef E
#undef C

#define B(page, label, tip, command) {page, label, tip, SheetCommand::command}
const CButtonText kButtonTexts[] = {
    B(2, "排序选项(&S) (F5)", "更改链接排序方式", kSortOptions),
    B(2, "更改默认字词(&W) (F6)",
      "更改默认字词.  适用于当你创建一个非英语站点或你不喜欢默认字词的情况下.", kDefaultWords),
    B(2, "更多选项(&M)...",
      "更改只在配置文件中的选项: 易读的大小, ISO 日期, 自然顺序, 说明文件, JSON 清单", kMoreOptions),
    B(3, "打开输出文件(&L) (F12)", "使用默认浏览器打开输出文件", kOpenOutputFile),
    B(3, "编辑自定义 HTML 文件(&E) (F11)", "使用默认文本编辑器打开当前自定义的 html 文件",
      kEditCustomHtml),
    B(3, "保存批处理文件(&S) (F7)", "保存批处理文件，便于以后按[创建(F3)]按钮时创建相同文件",
      kSaveBatchFile),
    B(3, "读取初始配置文件(&R) (F8)", "从一个文件读取 vellora 设置", kReadConfiguration),
    B(3, "写入初始配置文件(&W) (F9)", "保存当前 vellora 设置为一个文件", kWriteConfiguration),
    B(3, "更改背景位图(&C)", "更改位图背景用于所有对话框，除了 帮助->关于", kChangeBackground),
    B(4, "帮助内容(&H) (F1)", "打开帮助文档", kHelp),
    B(4, "关于 vellora(&A) (Ctrl+F1)", "显示关于这个版本的 vellora 信息", kAbout),
    B(4, "授权信息(&L)", "显示你作为一个 vellora 用户的权利信息", kDistributionTerms),
};
#undef B
const size_t kButtonCount = sizeof kButtonTexts / sizeof kButtonTexts[0];

}  // namespace vellora
