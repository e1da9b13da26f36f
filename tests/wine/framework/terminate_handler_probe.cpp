// Lets an exception leave main, for the terminate_handler test.
#include <stdexcept>

int main() { throw std::runtime_error("nobody catches this"); }
