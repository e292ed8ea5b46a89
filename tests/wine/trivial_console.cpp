// A console program that does nothing: the floor against which the tools'
// start-up under Wine is measured.
int main() { return 0; }
