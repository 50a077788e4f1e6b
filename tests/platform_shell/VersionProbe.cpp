// Carries the file version 1.2.3.4 and nothing else.
int main() { return 0; }
