// Waits up to two minutes and ends; the treatment test ends it much sooner.
#include <windows.h>

int main() {
  ::Sleep(120000);
  return 0;
}
