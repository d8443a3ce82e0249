// The texts as the user reads them. The build compiles a copy of this file in
// which every literal holds Shift-JIS (code page 932) bytes instead.
#include "base/messages.h"

#include <cstdio>

namespace hatch::msg {

const char* const log_open_failed = "ﾛｸﾞﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n";
const char* const input_open_failed = "入力ﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n";
const char* const no_input_data = "入力データがありません";
const char* const output_open_failed = "出力ﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n";
const char* const figure_not_named = "図形ファイルが未指定";
const char* const bad_parameter = "ﾊﾟﾗﾒｰﾀが不正です。\r\n";
const char* const second_command_file = "パラメータファイルエラー";
const char* const command_file_open_failed = "ｺﾏﾝﾄﾞﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n";
const char* const command_file_empty = "ｺﾏﾝﾄﾞﾌｧｲﾙのﾃﾞｰﾀが不正です";
const char* const full_width_space = "ｺﾏﾝﾄﾞｵﾌﾟｼｮﾝｴﾗｰ  全角ｽﾍﾟｰｽは使えません。";
const char* const out_of_memory = "メモリが確保できません！！";
const char* const figure_bad_magic = "図形ﾃﾞｰﾀがplk形式と異なります。\r\n";
const char* const figure_bad_counts = "図形ﾃﾞｰﾀが不正\r\n";
const char* const figure_line_read = "直線図形読み込みｴﾗｰ";
const char* const figure_arc_read = "円図形読み込みｴﾗｰ";
const char* const too_many_crossings = "交差する線が多すぎて計算不能です。\r\n";
const char* const breaks_found = "h#断線箇所が確認されました。\n";
const char* const no_breaks = "h#断線箇所はありませんでした。\n";
const char* const no_region_found = "h#閉領域が見つかりませんでした。/e で断線を確認できます。\n";
const char* const interrupted = "hq処理を中断しました\n";
const char* const cannot_open_suffix = "がｵｰﾌﾟﾝできません。\r\n";

}  // namespace hatch::msg

namespace hatch {

namespace {
const char* const figure_open_pattern = "図形ﾌｧｲﾙ(%s)がｵｰﾌﾟﾝできません。 %s";
const char* const trace_stack_head = "閉領域の辺数が";
const char* const trace_stack_tail = "本で作業メモリが不足しました。";
const char* const trace_limit_head = "閉領域の辺数は";
const char* const trace_limit_tail = "迄です";
}  // namespace

std::string out_of_memory_message(const char* tag) { return std::string(msg::out_of_memory) + tag; }

std::string figure_open_failed_message(const std::string& file_name, const char* reason) {
  int n = std::snprintf(nullptr, 0, figure_open_pattern, file_name.c_str(), reason);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  std::snprintf(out.data(), out.size() + 1, figure_open_pattern, file_name.c_str(), reason);
  return out;
}

std::string trace_stack_message(int depth) {
  return std::string(trace_stack_head) + std::to_string(depth) + trace_stack_tail;
}

std::string trace_limit_message(int limit) {
  return std::string(trace_limit_head) + std::to_string(limit) + trace_limit_tail;
}

}  // namespace hatch
