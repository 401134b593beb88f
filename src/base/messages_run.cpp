#include "base/messages_run.h"

#include "base/message_parts.h"
#include "base/messages.h"

namespace rendlow {

namespace {

Message byProcess(const std::string& holder) {
  if (holder.empty()) return Message("別の実行", "Another run");
  return Message("別の実行 (プロセス " + holder + ")", "Another run (process " + holder + ")");
}

}  // namespace

// --- One song, one run -------------------------------------------------------------------

Message waitingForRunMessage(const std::string& lockPath, const std::string& holder) {
  return compose(byProcess(holder) + Message("がこの曲を処理しています。終わるまで待ちます。",
                                             " is working on this song; waiting for it to finish."),
                 {fileLine(lockPath)});
}

Message runBusyMessage(const std::string& lockPath, const std::string& holder) {
  return compose(
      byProcess(holder) +
          Message("がこの曲を処理しています。何も出力していません。",
                  " is working on this song. Nothing was written.") +
          Message::perAudience("終わってからもう一度出力してください。",
                               "終わってから実行し直すか、--no-wait を付けずに実行して待ってください。",
                               " Run again when it has finished, or without --no-wait to wait for it."),
      {fileLine(lockPath)});
}

Message staleLockTakenMessage(const std::string& lockPath, const std::string& holder) {
  const std::string process = holder.empty() ? std::string() : " " + holder;
  return compose(Message("終了したプロセス" + process + " が残したロックを引き継ぎました。",
                         "A lock left by process" + process + ", which has ended, was taken over."),
                 {fileLine(lockPath)});
}

Message interruptedWhileWaitingMessage(const std::string& signal) {
  return Message(signal + " で中断しました。何も出力していません。",
                 "Stopped by " + signal + " while waiting for the other run. Nothing was written.");
}

// --- Interrupts --------------------------------------------------------------------------

Message interruptedReason(const std::string& signal) {
  return Message(signal + " で中断したので、元のままにしました。",
                 "The run was interrupted (" + signal + "), so the file was left as it was.");
}

Message soundsInterruptedMessage(const std::string& signal, int32_t written, const std::string& folder) {
  const std::string count = std::to_string(written);
  return compose(Message(signal + " で中断しました。音声ファイルを " + count +
                             " 個書き出したところで止め、残りは書き出していません",
                         "Interrupted (" + signal + "): " + count +
                             " sound files were written before the run stopped; the others were not."),
                 {folderLine(folder)});
}

Message runInterruptedMessage(const std::string& signal) {
  return Message(signal + " で中断しました。", "Stopped by " + signal + ".");
}

Message pairKeptReason(const std::string& otherPath) {
  return Message("対になるファイル " + otherPath + " を書き出せなかったので、元のままにしました。",
                 "Left as it was, because the file it pairs with, " + otherPath + ", could not be written.");
}

}  // namespace rendlow
