#include "trainer/addestra.hpp"

int main(int argc, char** argv) { return trainer::Run_Addestra(argc, argv); }
