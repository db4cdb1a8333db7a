// Placeholder until the demo server lands.
int main() { return 0; }
