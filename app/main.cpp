// Placeholder until the command loop lands.
int main() {
  return 0;
}
