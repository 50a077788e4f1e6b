// Inside the component: the process-wide tip box and news store that InitNewsInterface makes.
// Both are null before it has run.
#pragma once

class CNewsBox;
class CNewsStore;

CNewsBox* NewsTipBox();
CNewsStore* NewsStore();
