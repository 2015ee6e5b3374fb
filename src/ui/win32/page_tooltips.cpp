#include "ui/win32/page_tooltips.h"

#include "ui/win32/resource.h"

namespace vellora {

const CPageTooltip kPageTooltips[] = {
    {0, IDC_BROWSE_FOLDER, L"选择一个要创建 html 文件的新文件夹"},
    {0, IDC_PATH, L"要创建 html 文件的文件夹"},
    {0, IDC_FILE_SPEC, L"包含在 html 文件中的文件.  使用分号分隔多个文件类型 (例如: *.txt;*.doc)."},
    {0, IDC_CHOOSE_OUTPUT, L"选择一个新的输出文件"},
    {0, IDC_OUTPUT_FILENAME, L"生成的 html 文件的名称.  请按 F12 打开这个文件."},
    {0, IDC_TITLE, L"生成的 html 文件的标题 <title>"},
    {0, IDC_CHOOSE_CUSTOM, L"选择一个新的自定义 html 文件"},
    {0, IDC_CUSTOM_HTML, L"用于自定义 html 文件的名称.  编辑它请按 F11.  请查看帮助文档寻求更多信息."},
    {0, IDC_SKIP_FILES, L"跳过列表文件，例如 index.html;*.txt;*.dat"},
    {0, IDC_BROWSE_SKIP, L"选择一个新的文件夹分支来跳过"},
    {0, IDC_SKIP_FOLDERS, L"在递归创建中要排除在外的文件夹. 分隔多个文件夹用 ';'"},

    {1, IDC_INCLUDE_FILESIZE, L"如果选定，将显示文件大小"},
    {1, IDC_INCLUDE_DATE, L"如果选定，日期将显示"},
    {1, IDC_INCLUDE_TIME, L"如果选定，将包含文件时间"},
    {1, IDC_INCLUDE_SUMMARY, L"如果选定，文件表会包含摘要统计"},
    {1, IDC_INCLUDE_SUBFOLDERS, L"如果选定，子文件夹列表将先于文件列表"},
    {1, IDC_SUPRESS_PARENT_LINK, L"如果选定，文件夹表格中的父文件夹将没有链接"},
    {1, IDC_SHOW_FOLDER_NAMES,
     L"使用可见前缀显示文件夹名称; 当创建一个递归的单一文件并首先排序文件夹时分隔链接"},
    {1, IDC_SIZES_BY_K, L"显示文件大小用 1K 的倍数而不用 # 字节"},
    {1, IDC_SUPRESS_HEADERS, L"如果选定，表格会没有列标题"},
    {1, IDC_SUPPRESS_EXTENSIONS, L"如果选定，文件链接将不显示扩展名"},
    {1, IDC_SUPPRESS_VISIBLE_LINKS,
     L"如果选定，链接会没有可见文字。仅在使用 <img src=... 链接到图像时有用"},
    {1, IDC_EURO_DATE_STYLE, L"如果选定，日期会格式化为 DD/MM/YY"},
    {1, IDC_USE_HTML_TITLES, L"如果选定，使用 html 标题替代链接的文件名"},
    {1, IDC_FULL_PATHNAME_LINKS,
     L"如果选定，链接将使用完整路径名称，例如 C:\\Windows\\system\\.  默认其包含相对路径，例如 "
     L"\\system\\."},
    {1, IDC_REPLACE_ISO_CHARS, L"转换为不标准的 HREF 字符 '&', '(' and ')' 到其 ISO 副本"},
    {1, IDC_HREF20, L"在 HREF 链接中使用 %20 替换所有的空格"},
    {1, IDC_XML_COMPLIANT, L"如果选定，生成的文件兼容 XHTML"},
    {1, IDC_INSERT_COMMAS, L"如果选定，文件大小将用逗号格式化"},
    {1, IDC_NON_FUNCTIONAL_LINKS, L"如果选定，文件将没有链接。文件夹链接仍有效。"},

    {2, IDC_RECURSIVE_BUILD, L"如果选定，位于所选文件夹下的所有文件夹将被处理"},
    {2, IDC_ONE_PAGE_PER_FOLDER, L"给文件夹分支中的每个文件夹创建一个文件"},
    {2, IDC_ALL_IN_ONE_FILE, L"创建一个文件，使之包含文件夹分支中的文件链接"},
    {2, IDC_FRAMED_SITE, L"创建一个框架网页以及包含每个分支文件夹中文件链接的 html 文件"},
    {2, IDC_FOLDER_ANCHORS,
     L"在文件夹表格之后创建一个匹配文件的文件夹锚点列表. 仅用于当创建递归 "
     L"以及'在一个文件中显示所有链接并'首先给文件夹排序'的情况下."},
    {2, IDC_FILE_COLUMNS, L"文件表格的列数"},
    {2, IDC_FOLDER_COLUMNS, L"文件夹表格的列数"},
    {2, IDC_SORT_OPTIONS, L"更改链接排序方式"},
    {2, IDC_DEFAULT_WORDS,
     L"更改默认字词.  适用于当你创建一个非英语站点或你不喜欢默认字词的情况下."},
    {2, IDC_MORE_OPTIONS,
     L"更改只在配置文件中的选项: 易读的大小, ISO 日期, 自然顺序, 说明文件, JSON 清单"},

    {3, IDC_OPEN_OUTPUT, L"使用默认浏览器打开输出文件"},
    {3, IDC_EDIT_CUSTOM, L"使用默认文本编辑器打开当前自定义的 html 文件"},
    {3, IDC_SAVE_BATCH, L"保存批处理文件，便于以后按[创建(F3)]按钮时创建相同文件"},
    {3, IDC_READ_CONFIG, L"从一个文件读取 vellora 设置"},
    {3, IDC_WRITE_CONFIG, L"保存当前 vellora 设置为一个文件"},
    {3, IDC_CHANGE_BACKGROUND, L"更改位图背景用于所有对话框，除了 帮助->关于"},

    {4, IDC_HELP_CONTENTS, L"打开帮助文档"},
    {4, IDC_ABOUT, L"显示关于这个版本的 vellora 信息"},
    {4, IDC_LICENSE, L"显示你作为一个 vellora 用户的权利信息"},
};
const size_t kPageTooltipCount = sizeof kPageTooltips / sizeof kPageTooltips[0];

}  // namespace vellora
