// Process entry: the platform takes the process's arguments (it reads none of
// them), then the start routine runs the program.
#include "app/start.h"
#include "platform/application.h"

int main(int argc, char** argv) {
  platform::init_application(argc, argv);
  return 启动子程序();
}
