#include "app/scrivet2_app.h"

int main(int argc, char** argv) {
  scrivet::CScrivet2App::PrepareEnvironment(argc, argv);
  scrivet::CScrivet2App app(argc, argv);
  int code = app.Start();
  return code >= 0 ? code : app.exec();
}
