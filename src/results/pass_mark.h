#pragma once

class Form3;

// Sets the pass mark and shows the exam's title and the pass mark on the score sheet being built.
void SetPassScore(Form3& scoreSheet);
