#include "main_window/results_log/save_dialog.h"

#include <algorithm>

namespace foliotally {

std::vector<SaveFileFilter> ParseFilter(const std::string& filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find('|', start);
    const std::size_t end = bar == std::string::npos ? filter.size() : bar;
    parts.push_back(filter.substr(start, end - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  std::vector<SaveFileFilter> out;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) out.push_back({parts[i], parts[i + 1]});
  return out;
}

QPoint SaveDialogPosition(const QRect& screen, const QSize& size) {
  return screen.topLeft() +
         QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 3);
}

bool TSaveDialog::RunSaveDialog() {
  SaveFileQuestion question;
  question.fileName = FileName;
  question.filters = ParseFilter(Filter);
  const int count = static_cast<int>(question.filters.size());
  question.filterIndex = std::clamp(FilterIndex, 1, std::max(count, 1));
  const std::optional<SaveFileAnswer> answer = prompt_.Ask(question);
  if (!answer) return false;
  FileName = answer->fileName;
  FilterIndex = answer->filterIndex;
  return true;
}

}  // namespace foliotally
