void main()
{
}
