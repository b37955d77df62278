#include "app/DemoApp.h"

int main(int argc, char** argv) {
  dt::DemoApp app(argc, argv);
  return app.Run();
}
