#include "messages.h"

#include <unordered_map>

namespace cli {
namespace {

// English → Japanese. Reasons ("is 0", ...) follow a subject and a quoted value, so their
// Japanese begins with the particle that joins them.
const std::unordered_map<std::string_view, std::string_view>& japanese() {
  static const std::unordered_map<std::string_view, std::string_view> table = {
      // command line
      {"no command given", "コマンドがありません"},
      {"unknown command {0}", "{0} というコマンドはありません"},
      {"{0} needs a number, not {1}", "{0} には数が要ります ({1} ではなく)"},
      {"{0} needs a value", "{0} には値が要ります"},
      {"{0} takes no value", "{0} には値を付けられません"},
      {"the arguments cannot be read", "引数を読み取れません"},
      {"; did you mean {0}?", "。{0} のことですか?"},
      {"{0} given twice", "{0} が二度指定されています"},
      {"-o needs a file name", "-o にはファイル名が要ります"},
      {"unknown option {0} for {1}", "{1} に {0} というオプションはありません"},
      {"{0} needs a THEME file", "{0} には THEME ファイルが要ります"},
      {"{0} needs two THEME files", "{0} には THEME ファイルが二つ要ります"},
      {"unexpected argument {0}", "余分な引数 {0} があります"},
      {"{0} needs {1}", "{0} には {1} が要ります"},
      {"option {0} before the command: put it after {1}", "オプション {0} がコマンドの前にあります。{1} の後に置いてください"},
      {"--page needs --font, --size, --option, --grow or --scale",
       "--page には --font、--size、--option、--grow か --scale が要ります"},
      {"{0} and {1} cannot be given together", "{0} と {1} は一緒には使えません"},
      {"{0} and {1} both read standard input, which can be read once",
       "{0} と {1} がどちらも標準入力を読みます。標準入力は一度しか読めません"},
      {"--fonts-from needs a file name", "--fonts-from にはファイル名が要ります"},
      {"{0} must be a number from 1 to {1}", "{0} は 1 から {1} までの数でなければなりません"},
      {"is neither a theme nor the output of \"list --json\"", "はテーマでも \"list --json\" の出力でもありません"},
      {"--grow {0} is not a whole number from {1} to {2}", "--grow {0} は {1} から {2} までの整数ではありません"},
      {"--scale {0} is not a factor from 0.25 to 4 (written with a point, as 1.5)",
       "--scale {0} は 0.25 から 4 までの倍率ではありません (1.5 のように小数点で書きます)"},
      {"--size {0}: a size takes no \"+\"; to make every size larger, use --grow {1}",
       "--size {0}: サイズに \"+\" は付けられません。すべてのサイズを大きくするには --grow {1} を使います"},
      {"--fonts-from {0}: {1} rows changed, {2} already alike, {3} with no match",
       "--fonts-from {0}: 変更した行 {1}、すでに同じ行 {2}、対応する行のない行 {3}"},
      {"; pages it lacks: {0}", "。元にないページ: {0}"},
      {"sizes: {0} changed, {1} stopped at 1 or -1, {2} not whole numbers (left as they are)",
       "サイズ: 変更 {0}、1 か -1 で止めたもの {1}、整数でないもの (そのまま) {2}"},
      {"--page {0} is no page of {1}, which has {2} page", "--page {0} は {1} にないページです (ページは {2} つ)"},
      {"--page {0} is no page of {1}, which has {2} pages", "--page {0} は {1} にないページです (ページは {2} つ)"},
      {"unknown code page {0}", "{0} というコードページはありません"},
      {"--tsv cannot be given with --json or --languages", "--tsv は --json や --languages と一緒には使えません"},
      {"the output could not be written", "出力を書き出せませんでした"},
      {"-o - is refused: a theme is written to a file, not to standard output",
       "-o - は使えません: テーマは標準出力ではなくファイルに書きます"},
      {"-o {0} is the --from file: the edited list would be overwritten",
       "-o {0} は --from のファイルです: 編集した一覧が上書きされてしまいます"},
      {"{0} {1} is not valid UTF-8", "{0} {1} は UTF-8 として正しくありません"},
      {"{0}: has no texts in language {1}; {2} is shown where it is missing",
       "{0}: 言語 {1} のテキストがないところは {2} で示します"},
      // writing
      {"cannot write", "書き込めません"},
      {"cannot write: {0}", "書き込めません: {0}"},
      {"{0}: the signature (certificate table) was left out: it cannot match the changed file",
       "{0}: 署名 (証明書テーブル) は書き込みませんでした。変更したファイルには合わないためです"},
      {"it is a folder", "フォルダーです"},
      {"it is read-only", "読み取り専用です"},
      {"it is a symbolic link or junction", "シンボリックリンクかジャンクションです"},
      {"it is a symbolic link to a missing file", "ないファイルへのシンボリックリンクです"},
      {"it is not a regular file (a device or pipe)", "通常のファイルではありません (デバイスかパイプ)"},
      {"it is not a regular file (a device, FIFO or socket)", "通常のファイルではありません (デバイス、FIFO かソケット)"},
      // values
      {"is blank", "が空白だけです"},
      {"holds a '{0}'", "に '{0}' が入っています"},
      {"is not a whole number", "が整数ではありません"},
      {"is out of range", "が範囲外です"},
      {"is 0", "が 0 です"},
      {"is not made of the words bold, italic, underline and strikeout",
       "が bold、italic、underline、strikeout の組み合わせではありません"},
      {"says {0} twice", "に {0} が二度あります"},
      {"holds a control character", "に制御文字が入っています"},
      {"begins or ends with a blank, which the theme would not keep", "の先頭か末尾に空白があります (テーマには残りません)"},
      {"holds characters that code page {0} cannot hold", "にコードページ {0} で表せない文字が入っています"},
      {"holds characters that code page {0} cannot hold (code page {1} can)",
       "にコードページ {0} で表せない文字が入っています (コードページ {1} なら表せます)"},
      {"is {0} bytes long in code page {1}, at most {2} fit",
       "がコードページ {1} で {0} バイトあります (入るのは {2} バイトまで)"},
      // edited lists
      {"page {0}", "ページ {0}"},
      {"page {0} row {1}", "ページ {0} 行 {1}"},
      {"{0}{1} must be {2}", "{0}{1} は{2}でなければなりません"},
      {"null", "null"},
      {"true or false", "true か false"},
      {"a number", "数"},
      {"a string", "文字列"},
      {"an array", "配列"},
      {"an object", "オブジェクト"},
      {"{0} must be a string", "{0} は文字列でなければなりません"},
      {"{0}unknown key {1}", "{0}{1} というキーはありません"},
      {"{0}{1} is missing", "{0}{1} がありません"},
      {"{0}{1} cannot be changed: the theme's is {2}", "{0}{1} は変えられません: テーマでは {2} です"},
      {"is UTF-16 text; save it as UTF-8", "は UTF-16 のテキストです。UTF-8 で保存してください"},
      {"{0} must be a code page number such as 932", "{0} は 932 のようなコードページ番号でなければなりません"},
      {"{0} must be a language id such as \"0x0409\"", "{0} は \"0x0409\" のような言語 ID でなければなりません"},
      {"{0} must be an object", "{0} はオブジェクトでなければなりません"},
      {"{0}: the theme has no string for this name, so it cannot be changed",
       "{0}: テーマにこの名前の文字列がないので変えられません"},
      {"{0}: the theme has no such row ({1} has {2} rows)", "{0}: テーマにこの行はありません ({1} は {2} 行)"},
      {"{0}{1} {2} does not match the theme's {3}", "{0}{1} {2} がテーマの {3} と違います"},
      {"{0}: lists {1} rows, the theme has {2}", "{0}: {1} 行ありますが、テーマには {2} 行あります"},
      {"is larger than {0} MiB, too large for an edited list", "が {0} MiB を超えています (編集した一覧には大きすぎます)"},
      {"cannot be read", "を読めません"},
      {"cannot be read: {0}", "を読めません: {0}"},
      {"must be a JSON object as \"list --json\" prints it",
       "は \"list --json\" が出力する形の JSON オブジェクトでなければなりません"},
      {"\"sizeNameBoxes\" must be an array of {0} strings", "\"sizeNameBoxes\" は {0} 個の文字列の配列でなければなりません"},
      {"{0}: \"index\" must be a page of the theme, 0 to {1}", "{0}: \"index\" はテーマのページ (0 から {1}) でなければなりません"},
      {"{0}: page {1} listed twice", "{0}: ページ {1} が二度あります"},
      {"standard input", "標準入力"},
      {"not JSON: {0}", "JSON ではありません: {0}"},
      // JSON
      {"line {0}, column {1}: {2}", "{0} 行 {1} 桁: {2}"},
      {"unexpected text after the JSON value", "JSON の値の後に余分なテキストがあります"},
      {"expected '{0}'", "'{0}' があるはずです"},
      {"unknown word", "知らない語です"},
      {"nested too deeply", "入れ子が深すぎます"},
      {"unexpected end of text", "テキストが途中で終わっています"},
      {"expected a value", "値があるはずです"},
      {"expected a member name", "メンバー名があるはずです"},
      {"member {0} given twice", "メンバー {0} が二度あります"},
      {"expected a digit", "数字があるはずです"},
      {"number out of range", "数が範囲外です"},
      {"expected four hex digits after \\u", "\\u の後には 16 進数字が四つ要ります"},
      {"invalid UTF-8", "UTF-8 として正しくありません"},
      {"unterminated string", "文字列が閉じていません"},
      {"control character in a string", "文字列に制御文字があります"},
      {"unknown escape in a string", "文字列に知らないエスケープがあります"},
  };
  return table;
}

}  // namespace

std::string say(Language language, std::string_view english, std::initializer_list<std::string_view> parts) {
  std::string_view text = english;
  if (language == Language::Japanese) {
    if (const auto found = japanese().find(english); found != japanese().end()) text = found->second;
  }
  return format(text, parts);
}

std::string format(std::string_view text, std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t close = text.find('}', at);
    if (text[at] == '{' && close != std::string_view::npos && close == at + 2 && text[at + 1] >= '0' &&
        static_cast<std::size_t>(text[at + 1] - '0') < parts.size()) {
      out += *(parts.begin() + (text[at + 1] - '0'));
      at = close + 1;
    } else {
      out += text[at++];
    }
  }
  return out;
}

}  // namespace cli
