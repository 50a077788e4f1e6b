// Reaches a private member for a test: an explicit instantiation skips access checks, so
//   struct SetterTag { typedef void (CClass::*type)(const char*); };
//   template struct CPrivateBinder<SetterTag, &CClass::SetSomething>;
// leaves the member pointer in CPrivate<SetterTag>::s_member. Instantiate each tag in one file.
#pragma once

template <class Tag>
struct CPrivate
{
    static typename Tag::type s_member;
};
template <class Tag>
typename Tag::type CPrivate<Tag>::s_member;

template <class Tag, typename Tag::type Member>
struct CPrivateBinder
{
    CPrivateBinder() { CPrivate<Tag>::s_member = Member; }
    static CPrivateBinder s_instance;
};
template <class Tag, typename Tag::type Member>
CPrivateBinder<Tag, Member> CPrivateBinder<Tag, Member>::s_instance;
