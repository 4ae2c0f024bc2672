// Process entry: the platform takes the toolkit's own arguments, the rest
// are files to add (a file manager's "Open with"), then the start routine
// runs the program.
#include <string>
#include <vector>

#include "app/start.h"
#include "platform/application.h"
#include "platform/absolute_path.h"
#include "platform/program_text_io.h"
#include "text/encoding_boundary.h"

int main(int argc, char** argv) {
  platform::init_application(argc, argv);
  std::vector<text::Text> files;
  for (const std::string& file : platform::program_arguments(argc, argv)) {
    // Full paths, as the list holds them: the open dialog may change the
    // current folder later.
    files.push_back(platform::absolute_path(text::from_utf8(file)));
  }
  return 启动子程序(files);
}
