#!/usr/bin/env bash
# Regenerates the workbooks Vemo ships: the import templates of the data folder, the
# test fixtures and the benchmark workbooks, as Excel 97–2003 (.xls) and, where both
# readers are tested or timed, also as Office Open XML (.xlsx) with the same content.
# Each workbook is written as a flat OpenDocument spreadsheet and converted by
# LibreOffice, a writer whose .xls files FreeXL reads (Debian: libreoffice-calc-nogui;
# needed only to run this).
#
# Usage: tools/make-workbooks.sh
#
# A workbook is described one line at a time: "## NAME" starts a sheet, every other
# line is a row with its cells separated by "|" (an empty cell between two bars stays
# empty). Cells that look like numbers are stored as numbers, cells that look like
# "2024-03-05", "2024-03-05 13:45:10" or "13:45:10" as dates and times shown that way;
# "{bar}" in a cell stands for a "|" of its text.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT

command -v soffice >/dev/null || { echo "LibreOffice (soffice) is missing" >&2; exit 1; }

# Reads the description on standard input, writes the .fods file $1.
to_fods() {
    awk '
    function esc(s) { gsub(/&/, "\\&amp;", s); gsub(/</, "\\&lt;", s); gsub(/>/, "\\&gt;", s); return s }
    function close_sheet() { if (open) print "</table:table>"; open = 0 }
    BEGIN {
        print "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        print "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
        print " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
        print " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
        print " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
        print " xmlns:number=\"urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0\""
        print " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">"
        print "<office:automatic-styles>"
        ymd = "<number:year number:style=\"long\"/><number:text>-</number:text><number:month number:style=\"long\"/><number:text>-</number:text><number:day number:style=\"long\"/>"
        hms = "<number:hours number:style=\"long\"/><number:text>:</number:text><number:minutes number:style=\"long\"/><number:text>:</number:text><number:seconds number:style=\"long\"/>"
        print "<number:date-style style:name=\"Nd\">" ymd "</number:date-style>"
        print "<number:date-style style:name=\"Ndt\">" ymd "<number:text> </number:text>" hms "</number:date-style>"
        print "<number:time-style style:name=\"Nt\">" hms "</number:time-style>"
        print "<style:style style:name=\"date\" style:family=\"table-cell\" style:data-style-name=\"Nd\"/>"
        print "<style:style style:name=\"datetime\" style:family=\"table-cell\" style:data-style-name=\"Ndt\"/>"
        print "<style:style style:name=\"time\" style:family=\"table-cell\" style:data-style-name=\"Nt\"/>"
        print "</office:automatic-styles>"
        print "<office:body><office:spreadsheet>"
    }
    /^## / { close_sheet(); print "<table:table table:name=\"" esc(substr($0, 4)) "\">"; open = 1; next }
    {
        print "<table:table-row>"
        n = split($0, cells, "|")
        for (i = 1; i <= n; i++) {
            c = cells[i]
            gsub(/\{bar\}/, "|", c)
            if (c == "") print "<table:table-cell/>"
            else if (c ~ /^-?[0-9]+(\.[0-9]+)?$/)
                print "<table:table-cell office:value-type=\"float\" office:value=\"" c "\"><text:p>" c "</text:p></table:table-cell>"
            else if (c ~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/)
                print "<table:table-cell table:style-name=\"date\" office:value-type=\"date\" office:date-value=\"" c "\"><text:p>" c "</text:p></table:table-cell>"
            else if (c ~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]$/)
                print "<table:table-cell table:style-name=\"datetime\" office:value-type=\"date\" office:date-value=\"" substr(c, 1, 10) "T" substr(c, 12) "\"><text:p>" c "</text:p></table:table-cell>"
            else if (c ~ /^[0-9][0-9]:[0-9][0-9]:[0-9][0-9]$/)
                print "<table:table-cell table:style-name=\"time\" office:value-type=\"time\" office:time-value=\"PT" substr(c, 1, 2) "H" substr(c, 4, 2) "M" substr(c, 7, 2) "S\"><text:p>" c "</text:p></table:table-cell>"
            else
                print "<table:table-cell office:value-type=\"string\"><text:p>" esc(c) "</text:p></table:table-cell>"
        }
        print "</table:table-row>"
    }
    END { close_sheet(); print "</office:spreadsheet></office:body></office:document>" }
    ' > "$1"
}

# make_workbook DESTINATION.xls [xlsx] < description
# With "xlsx", the same workbook is also written beside it as DESTINATION.xlsx.
make_workbook() {
    local dest="$1" base ext
    base="$(basename "$dest" .xls)"
    to_fods "$WORK/$base.fods"
    mkdir -p "$(dirname "$dest")"
    for ext in xls ${2:-}; do
        local filter='xls:MS Excel 97'
        [ "$ext" = xlsx ] && filter='xlsx:Calc MS Excel 2007 XML'
        soffice --headless -env:UserInstallation="file://$WORK/profile" \
            --convert-to "$filter" --outdir "$WORK" "$WORK/$base.fods" >/dev/null 2>&1
        mv "$WORK/$base.$ext" "${dest%.xls}.$ext"
        echo "wrote ${dest#"$ROOT"/}" | sed "s/\.xls\$/.$ext/"
    done
}

# The template of the delivered data folder: the header the import expects.
make_workbook "$ROOT/tools/vemo-init/examinee.xls" <<'EOF'
## Sheet1
姓名|部门|职务
EOF

# The question template of the delivered data folder: one sheet per type with the
# titles the question import checks, and a sample row each.
make_workbook "$ROOT/tools/vemo-init/questions.xls" <<'EOF'
## 单选题
科目|题型|题干|答案|A|B|C|D|E|难度|对象
安全生产|单选题|使用手持电动工具时，应当佩戴|B|棉线手套|绝缘手套|帆布手套|不戴手套||简单|一线员工
## 判断题
科目|题型|题干|答案|A|B|难度|对象
安全生产|判断题|下班前应当检查并关闭本岗位的电源和气源。|A|正确|错误|简单|一线员工
## 填空题
科目|题型|题干|答案|难度|对象
安全生产|填空题|特种作业人员必须持【】上岗。|特种作业操作证|中等|一线员工
## 多选题
科目|题型|题干|答案|A|B|C|D|E|难度|对象
安全生产|多选题|下列属于“三违”行为的有|ABC|违章指挥|违章作业|违反劳动纪律|按规程操作||中等|一线员工
## 问答题
科目|题型|题干|答案|难度|对象
规章制度|问答题|简述交接班时应当交代的内容。|设备运行情况、存在的问题、安全注意事项和未完成的工作。|中等|管理人员
EOF

T="$ROOT/tests/data"

# Six complete rows: one duplicates a sample examinee, one repeats a row of the sheet;
# the row without a position is incomplete.
make_workbook "$T/examinees.xls" xlsx <<'EOF'
## Sheet1
姓名|部门|职务
孙八|生产部|操作工
周九|技术部|技术员
吴十|安全部|
周九|技术部|技术员
张三|生产部|操作工
郑十一|办公室|主任
O'Neil|办公室|文员
EOF

make_workbook "$T/header-fourth-column.xls" xlsx <<'EOF'
## Sheet1
姓名|部门|职务|备注
孙八|生产部|操作工|新员工
EOF

make_workbook "$T/header-other-order.xls" xlsx <<'EOF'
## Sheet1
部门|姓名|职务
生产部|孙八|操作工
EOF

make_workbook "$T/semicolon-third-row.xls" xlsx <<'EOF'
## Sheet1
姓名|部门|职务
孙八|生产部|操作工
周九|技术部|技术员
吴十|安全部;后勤|安全员
郑十一|办公室|主任
EOF

make_workbook "$T/no-complete-row.xls" xlsx <<'EOF'
## Sheet1
姓名|部门|职务
孙八|生产部|
|技术部|技术员
EOF

make_workbook "$T/other-sheet-name.xls" xlsx <<'EOF'
## 考生
姓名|部门|职务
孙八|生产部|操作工
EOF

# For the reader: several sheets, numbers, empty cells and a gap row.
make_workbook "$T/cells.xls" xlsx <<'EOF'
## 说明
第一页
## Sheet1
名称|整数|小数|负数|备注
甲|12|12.5|-3|
乙||0.25|0|有

丙|1000000|3|7|末行
EOF

# Questions of every type. In 单选题 the last row repeats the first and one row lacks its
# 对象; the blank inside "A B" goes for 多选题 and stays for 问答题.
make_workbook "$T/questions.xls" <<'EOF'
## 单选题
科目|题型|题干|答案|A|B|C|D|E|难度|对象
安全生产|单选题|灭火器压力表指针在绿区表示|A|压力正常|压力不足|压力过高|已经失效||简单|一线员工
安全生产|单选题|安全电压一般不超过多少伏|C |220|110|36|380|12|中等|一线员工
规章制度|单选题|没有对象的题目|A|甲|乙||||简单|
安全生产|单选题|灭火器压力表指针在绿区表示|A|压力正常|压力不足|压力过高|已经失效||简单|一线员工
## 判断题
科目|题型|题干|答案|A|B|难度|对象
安全生产|判断题|使用砂轮机时可以不戴防护眼镜。|B|正确|错误|简单|一线员工
## 填空题
科目|题型|题干|答案|难度|对象
安全生产|填空题|三级安全教育是指厂级、车间级和【】级。|班 组|简单|一线员工
## 多选题
科目|题型|题干|答案|A|B|C|D|E|难度|对象
安全生产|多选题|下列属于个人防护用品的有|A B|安全帽|防护眼镜|扳手|螺丝刀||中等|一线员工
## 问答题
科目|题型|题干|答案|难度|对象
安全生产|问答题|简述发生火灾时的逃生要点|A B|困难|一线员工
EOF

make_workbook "$T/questions-single-without-e.xls" <<'EOF'
## 单选题
科目|题型|题干|答案|A|B|C|D|难度|对象
安全生产|单选题|安全电压一般不超过多少伏|C|220|110|36|380|中等|一线员工
EOF

make_workbook "$T/questions-no-group.xls" <<'EOF'
## 单选题
科目|题型|题干|答案|A|B|C|D|E|难度|对象
安全生产|单选题|题目一|A|甲|乙|丙|丁||简单|
安全生产|单选题|题目二|B|甲|乙|丙|丁||简单|
EOF

# Sheet row 7 has an option holding a "|".
make_workbook "$T/questions-bar-row7.xls" <<'EOF'
## 单选题
科目|题型|题干|答案|A|B|C|D|E|难度|对象
安全生产|单选题|题目一|A|甲|乙|丙|丁||简单|一线员工
安全生产|单选题|题目二|A|甲|乙|丙|丁||简单|一线员工
安全生产|单选题|题目三|A|甲|乙|丙|丁||简单|一线员工
安全生产|单选题|题目四|A|甲|乙|丙|丁||简单|一线员工
安全生产|单选题|题目五|A|甲|乙|丙|丁||简单|一线员工
安全生产|单选题|题目六|A|甲{bar}乙|乙|丙|丁||简单|一线员工
安全生产|单选题|题目七|A|甲|乙|丙|丁||简单|一线员工
EOF

# Dates and times read as text; blanks around a text stay.
make_workbook "$T/dates.xls" xlsx <<'EOF'
## Sheet1
日期|日期时间|时间|文字
2024-03-05|2024-03-05 13:45:10|13:45:10| 前后有空格 
1900-01-15|1999-12-31 23:59:59|00:00:00|末行
EOF

# The benchmark workbooks. 10,000 examinees, every tenth a repeat of an earlier row.
{
    echo "## Sheet1"
    echo "姓名|部门|职务"
    departments=(生产部 技术部 安全部 办公室)
    positions=(操作工 工程师 安全员 文员)
    for i in $(seq 0 9999); do
        n=$i
        if [ $((i % 10)) -eq 9 ]; then n=$((i - 5)); fi
        printf '考生%05d|%s|%s\n' "$n" "${departments[n % 4]}" "${positions[n % 4]}"
    done
} | make_workbook "$ROOT/bench/data/examinees-10000.xls" xlsx

# 10,000 单选题, every tenth a repeat of an earlier row.
{
    echo "## 单选题"
    echo "科目|题型|题干|答案|A|B|C|D|E|难度|对象"
    subjects=(安全生产 规章制度 设备操作 消防知识)
    difficulties=(简单 中等 困难)
    groups=(一线员工 管理人员 技术人员 新入职员工)
    letters=(A B C D)
    for i in $(seq 0 9999); do
        n=$i
        if [ $((i % 10)) -eq 9 ]; then n=$((i - 5)); fi
        printf '%s|单选题|第%05d题：下列说法中正确的是|%s|选项甲%d|选项乙%d|选项丙%d|选项丁%d||%s|%s\n' \
            "${subjects[n % 4]}" "$n" "${letters[n % 4]}" "$n" "$n" "$n" "$n" \
            "${difficulties[n % 3]}" "${groups[n % 4]}"
    done
} | make_workbook "$ROOT/bench/data/questions-10000.xls"

# 10,000 单选题 without repeats, for timing the two workbook readers side by side.
{
    echo "## 单选题"
    echo "科目|题型|题干|答案|A|B|C|D|E|难度|对象"
    levels=(简单 中等 困难)
    answers=(A B C D)
    for i in $(seq 0 9999); do
        printf '安全生产|单选题|第%05d题：安全生产责任制由谁负责？|%s|甲%d|乙%d|丙%d|丁%d||%s|对象%d\n' \
            "$i" "${answers[i % 4]}" "$i" "$i" "$i" "$i" "${levels[i % 3]}" $((i % 4 + 1))
    done
} | make_workbook "$ROOT/bench/data/single-choice-10000.xls" xlsx
